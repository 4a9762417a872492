#pragma once
#include "platform/gui/forms.h"

class TForm16 : public TForm {
public:
    explicit TForm16(TComponent* AOwner);
};

extern TForm16* Form16;

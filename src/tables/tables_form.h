#pragma once
#include "platform/gui/forms.h"

class TForm8 : public TForm {
public:
    explicit TForm8(TComponent* AOwner);
};

extern TForm8* Form8;

#pragma once
#include "platform/gui/forms.h"

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);
};

extern TForm3* Form3;

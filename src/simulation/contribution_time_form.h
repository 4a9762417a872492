#pragma once
#include "platform/gui/forms.h"

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
};

extern TForm2* Form2;

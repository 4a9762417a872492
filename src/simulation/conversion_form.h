#pragma once
#include "platform/gui/forms.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);
};

extern TForm4* Form4;

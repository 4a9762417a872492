#pragma once
#include "platform/gui/forms.h"

class TForm5 : public TForm {
public:
    explicit TForm5(TComponent* AOwner);
};

extern TForm5* Form5;

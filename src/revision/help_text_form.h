#pragma once
#include "platform/gui/forms.h"

class TForm7 : public TForm {
public:
    explicit TForm7(TComponent* AOwner);
};

extern TForm7* Form7;

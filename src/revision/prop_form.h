#pragma once
#include "platform/gui/forms.h"

class TFprop : public TForm {
public:
    explicit TFprop(TComponent* AOwner);
};

extern TFprop* Fprop;

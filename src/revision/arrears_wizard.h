#pragma once
#include "platform/gui/forms.h"

class TForm12 : public TForm {
public:
    explicit TForm12(TComponent* AOwner);
};

extern TForm12* Form12;

#pragma once
#include "platform/gui/forms.h"

class TForm15 : public TForm {
public:
    explicit TForm15(TComponent* AOwner);
};

extern TForm15* Form15;

#pragma once
#include "platform/gui/forms.h"

class TForm10 : public TForm {
public:
    explicit TForm10(TComponent* AOwner);
};

extern TForm10* Form10;

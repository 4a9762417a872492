#pragma once
#include "platform/gui/forms.h"

class TForm9 : public TForm {
public:
    explicit TForm9(TComponent* AOwner);
};

extern TForm9* Form9;

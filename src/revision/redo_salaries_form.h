#pragma once
#include "platform/gui/forms.h"

class TForm13 : public TForm {
public:
    explicit TForm13(TComponent* AOwner);
};

extern TForm13* Form13;

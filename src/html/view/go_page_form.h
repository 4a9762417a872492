#pragma once
#include "platform/gui/forms.h"

class TGoPageForm : public TForm {
public:
    explicit TGoPageForm(TComponent* AOwner);
};

extern TGoPageForm* GoPageForm;

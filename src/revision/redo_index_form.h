#pragma once
#include "platform/gui/forms.h"

class TForm14 : public TForm {
public:
    explicit TForm14(TComponent* AOwner);
};

extern TForm14* Form14;

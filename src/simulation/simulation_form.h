#pragma once
#include "platform/gui/forms.h"

class TForm6 : public TForm {
public:
    explicit TForm6(TComponent* AOwner);
};

extern TForm6* Form6;

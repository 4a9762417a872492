#pragma once
#include "platform/gui/forms.h"

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* AOwner);
};

extern TAboutBox* AboutBox;

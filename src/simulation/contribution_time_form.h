#pragma once
#include "platform/gui/forms.h"

// The contribution-time sum. Only its window for now; its pages, periods and
// reports come with the form's own work.
class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* AOwner);
};

extern TForm2* Form2;

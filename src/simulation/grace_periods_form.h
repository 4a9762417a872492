#pragma once
#include "controls/speed_button.h"
#include "grids/icon_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"

// The grace periods of an old-age retirement by year, opened by the
// contribution-time form.
class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);

    TIconGrid* IconGrid2; // the person's three ages, on top
    TIconGrid* IconGrid1; // prazosAI.tab
    TPanel* Panel1;
    TRxSpeedButton* SpeedButton1;

    void SpeedButton1Click(TObject* Sender);
};

extern TForm3* Form3;

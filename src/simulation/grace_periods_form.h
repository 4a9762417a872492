#pragma once
#include "controls/speed_button.h"
#include "grids/icon_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/runtime/dates.h"

// The grace periods of an old-age retirement by year, opened by the
// contribution-time form.
class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);

    TIconGrid* IconGrid2; // the person's three ages, on top
    TSplitter* Splitter1; // between the two grids
    TIconGrid* IconGrid1; // prazosAI.tab
    TPanel* Panel1;
    TRxSpeedButton* SpeedButton1;

    // The grace periods for the birth and requirement dates of the
    // contribution-time form (Form2), from DataDir/prazosAI.tab.
    void FormShow(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    // Whole 360-day years from A to B; 0 when B is before A.
    int DifDias(TDateTime A, TDateTime B);
};

extern TForm3* Form3;

#pragma once
#include "controls/speed_button.h"
#include "grids/icon_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"

// The factors that convert special activity time into common time, from
// fator.tab.
class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);

    TIconGrid* IconGrid1;
    TPanel* Panel1;
    TRxSpeedButton* SpeedButton1;

    // Loads DataDir/fator.tab when it exists.
    void FormShow(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
};

extern TForm4* Form4;

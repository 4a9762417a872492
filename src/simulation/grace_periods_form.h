#pragma once
#include "controls/speed_button.h"
#include "grids/align_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"

// The grace periods of an old-age retirement by year, opened by the
// contribution-time form. The two tables are plain table grids until the
// program has its icon grid.
class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* AOwner);

    TStringAlignGrid* IconGrid2; // the person's three ages, on top
    TStringAlignGrid* IconGrid1; // prazosAI.tab
    TPanel* Panel1;
    TRxSpeedButton* SpeedButton1;

    void SpeedButton1Click(TObject* Sender);
};

extern TForm3* Form3;

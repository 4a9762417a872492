#pragma once
#include "controls/speed_button.h"
#include "grids/align_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"

// The factors that convert special activity time into common time, from
// fator.tab. The table is a plain table grid until the program has its icon
// grid.
class TForm4 : public TForm {
public:
    explicit TForm4(TComponent* AOwner);

    TStringAlignGrid* IconGrid1;
    TPanel* Panel1;
    TRxSpeedButton* SpeedButton1;

    // Where fator.tab is read from (the current directory at creation).
    std::string DataDir;

    void FormShow(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
};

extern TForm4* Form4;

#pragma once
#include "controls/date_edit.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// Asks again for a period date of the contribution-time table that was typed
// wrongly. DateTimePicker1 is a date edit with its drop-down calendar.
class TForm5 : public TForm {
public:
    explicit TForm5(TComponent* AOwner);

    TLabel* Label1;
    TMaskEdit* MaskEdit1;
    TDateEdit* DateTimePicker1;
    TButton* Button1;

    // The rows of the period table whose start (linhaini) or end (linhafim)
    // date is asked for; the other one is 0.
    int linhaini = 0;
    int linhafim = 0;

    void DateTimePicker1Change(TObject* Sender);
    // An empty text or a date goes into the start or end cell of the row of
    // Form2->IconGrid1 and the dialog closes; anything else is refused.
    void Button1Click(TObject* Sender);
};

extern TForm5* Form5;

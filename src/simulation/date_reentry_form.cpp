#include "simulation/date_reentry_form.h"

#include "platform/gui/dialogs.h"
#include "platform/runtime/dates.h"
#include "simulation/contribution_core.h"
#include "simulation/contribution_time_form.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form5");
    SetCaption("Digite uma data válida");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(400);
    SetClientHeight(104);

    Label1 = Make<TLabel>(this, this, "Label1");
    Label1->SetCaption("A Data digitada não é válida, digite  abaixo uma data válida:");
    Label1->SetBounds(12, 12, 376, 13);
    MaskEdit1 = Make<TMaskEdit>(this, this, "MaskEdit1");
    MaskEdit1->SetEditMask("!99/99/0000;1;_");
    MaskEdit1->SetText("  /  /    ");
    MaskEdit1->SetTabStop(true);
    MaskEdit1->SetBounds(12, 36, 88, 21);
    DateTimePicker1 = Make<TDateEdit>(this, this, "DateTimePicker1");
    DateTimePicker1->SetTabStop(true);
    DateTimePicker1->SetBounds(112, 36, 110, 21);
    Button1 = Make<TButton>(this, this, "Button1");
    Button1->SetCaption("&OK");
    Button1->SetTabStop(true);
    Button1->SetBounds(313, 68, 75, 25);

    DateTimePicker1->OnChange = [this](TObject* Sender) { DateTimePicker1Change(Sender); };
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
}

void TForm5::Button1Click(TObject*) {
    const std::string text = MaskEdit1->Text();
    if (!soma::DataOuVazio(text)) {
        ShowMessage(text + " NÃO é data válida.");
        return;
    }
    // Only a period row takes the date: the header is never written.
    int col = -1, row = 0;
    if (linhafim == 0 && linhaini > 0) {
        col = 2;
        row = linhaini;
    } else if (linhaini == 0 && linhafim > 0) {
        col = 3;
        row = linhafim;
    }
    if (col >= 0 && Form2 && row < Form2->IconGrid1->RowCount())
        Form2->IconGrid1->SetCells(col, row, soma::DataVazia(text) ? std::string() : text);
    Close();
}

void TForm5::DateTimePicker1Change(TObject*) {
    // A date being typed is not a date yet: only a whole one is copied.
    if (DateTimePicker1->HasDateText() && DateTimePicker1->Date() != DateUtil::NoDate)
        MaskEdit1->SetText(DateToStr(DateTimePicker1->Date()));
}

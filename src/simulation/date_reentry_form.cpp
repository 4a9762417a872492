#include "simulation/date_reentry_form.h"

#include "platform/runtime/dates.h"

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
}

void TForm5::DateTimePicker1Change(TObject*) {
    // A date being typed is not a date yet: only a whole one is copied.
    if (DateTimePicker1->HasDateText() && DateTimePicker1->Date() != DateUtil::NoDate)
        MaskEdit1->SetText(DateToStr(DateTimePicker1->Date()));
}

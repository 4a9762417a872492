#include "revision/redo_salaries_form.h"

TForm13* Form13 = nullptr;

TForm13::TForm13(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form13");
    SetCaption("Refazer Salários");
}

void TForm13::Button1Click(TObject*) {}

void TForm13::Button2Click(TObject*) {
    Close();
}

#include "revision/redo_salaries_form.h"

#include "revision/arrears_wizard.h"

TForm13* Form13 = nullptr;

TForm13::TForm13(TComponent* AOwner)
    : TRedoColumnsForm(AOwner, "Form13", "Refazer Salários", "Valor Calculado", "Valor Pago") {}

// Data, Valor Calculado and Valor Pago replace the spreadsheet's columns 0, 2
// and 5; the differences and totals are computed again.
void TForm13::Button1Click(TObject*) {
    CopyIntoPlanilha(2, 5);
    Form12->refazsalx();
    Close();
}

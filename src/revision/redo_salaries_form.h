#pragma once
// "Refazer Salários": replaces the columns Data, Valor Calculado and Valor
// Pago of the wizard's spreadsheet and recomputes the totals.
#include "revision/redo_columns_form.h"

class TForm13 : public TRedoColumnsForm {
public:
    explicit TForm13(TComponent* AOwner);
    void Button1Click(TObject* Sender) override;
};

extern TForm13* Form13;

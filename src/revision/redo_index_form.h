#pragma once
// "Refazer índice de Atualização": replaces the columns Data, Índice Autor and
// Índice INSS of the wizard's spreadsheet and reruns its passes.
#include "revision/redo_columns_form.h"

class TForm14 : public TRedoColumnsForm {
public:
    explicit TForm14(TComponent* AOwner);
    void Button1Click(TObject* Sender) override;
};

extern TForm14* Form14;

#include "revision/redo_index_form.h"

#include "platform/gui/stdctrls.h"
#include "revision/arrears_wizard.h"

TForm14* Form14 = nullptr;

TForm14::TForm14(TComponent* AOwner)
    : TRedoColumnsForm(AOwner, "Form14", "Refazer índice de Atualização", "Índice Autor", "Índice INSS") {}

// Data, Índice Autor and Índice INSS replace the spreadsheet's columns 0, 1
// and 4; both benefits are carried again from row 1, then the totals.
void TForm14::Button1Click(TObject*) {
    CopyIntoPlanilha(1, 4);
    if (Form12->Csteto->Checked())
        Form12->corrigevalorttfim();
    else
        Form12->corrigevalorfim();
    if (Form12->Cjuros->Checked())
        Form12->corrigevalor2fim();
    else
        Form12->corrigevalor3fim();
    Close();
}

#include "revision/redo_index_form.h"

TForm14* Form14 = nullptr;

TForm14::TForm14(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form14");
    SetCaption("Refazer índice de Atualização");
}

void TForm14::Button1Click(TObject*) {}

void TForm14::Button2Click(TObject*) {
    Close();
}

#include "tables/own_index_form.h"

TForm15* Form15 = nullptr;

TForm15::TForm15(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form15");
    SetCaption("Configurar Meu Índice");
}

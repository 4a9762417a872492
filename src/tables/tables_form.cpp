#include "tables/tables_form.h"

TForm8* Form8 = nullptr;

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form8");
    SetCaption("Índices");
}

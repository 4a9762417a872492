#include "revision/help_text_form.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form7");
    SetCaption("Configurar Cálculo");
}

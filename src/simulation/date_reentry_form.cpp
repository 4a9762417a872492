#include "simulation/date_reentry_form.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form5");
    SetCaption("Digite uma data válida");
}

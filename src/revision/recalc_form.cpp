#include "revision/recalc_form.h"

TForm10* Form10 = nullptr;

TForm10::TForm10(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form10");
    SetCaption("Form10");
}

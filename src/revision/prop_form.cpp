#include "revision/prop_form.h"

TFprop* Fprop = nullptr;

TFprop::TFprop(TComponent* AOwner) : TForm(AOwner) {
    SetName("Fprop");
    SetCaption("Fprop");
}

#include "simulation/grace_periods_form.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form3");
    SetCaption("Aposentadoria por idade (prazos de carência)");
}

#include "app/browser_form.h"

TForm16* Form16 = nullptr;

TForm16::TForm16(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form16");
    SetCaption("Form16");
}

#include "revision/arrears_wizard.h"

TForm12* Form12 = nullptr;

TForm12::TForm12(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form12");
    SetCaption("Atualização de nova RMI");
}

#include "html/view/go_page_form.h"

TGoPageForm* GoPageForm = nullptr;

TGoPageForm::TGoPageForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("GoPageForm");
    SetCaption("Ir para a Página");
}

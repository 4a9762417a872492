#include "revision/revision_form.h"

TForm9* Form9 = nullptr;

TForm9::TForm9(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form9");
    SetCaption("Revisão de Aposentadoria");
}

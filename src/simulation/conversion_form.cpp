#include "simulation/conversion_form.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form4");
    SetCaption("Conversão de tempo de atividade especiais em comum");
}

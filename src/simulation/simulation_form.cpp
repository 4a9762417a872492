#include "simulation/simulation_form.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form6");
    SetCaption("Simulação do Cálculo de Renda Mensal");
}

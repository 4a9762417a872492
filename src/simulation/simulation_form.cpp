#include "simulation/simulation_form.h"

#include "revision/shared_helpers.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form6");
    SetCaption("Simulação do Cálculo de Renda Mensal");
}

bool TForm6::checkinteiro(const std::string& text) {
    return simulacao::checkinteiro(text);
}

long double TForm6::RemovePonto(const std::string& text) {
    return simulacao::RemovePonto(text);
}

std::string TForm6::formatfloatx(const std::string& format, long double value) {
    return simulacao::formatfloatx(format, value);
}

void TForm6::EntreDatas(TDateTime later, TDateTime earlier, int& years, int& months, int& days) {
    simulacao::EntreDatas(later, earlier, years, months, days);
}

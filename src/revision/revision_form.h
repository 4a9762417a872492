#pragma once
// The retirement-revision form. For now it holds what the other forms read:
// the ceiling-table choice, the clamp marker and the shared helpers.
#include <string>

#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TForm9 : public TForm {
public:
    explicit TForm9(TComponent* AOwner);

    TRadioButton* Cusetab = nullptr;   // "Usar tabela Teto INSS" (on)
    TRadioButton* Cusetabsc = nullptr; // "Usar tabela Teto INSS SC"

    // "SM", "Teto" or "" after each devolvevalor/devolvevalorst.
    std::string marcalimite;

    std::string RemoveChar(const std::string& text);
    bool Bissexto(int year);
    std::string validadata(const std::string& text);
    std::string validadataMA(const std::string& text);
    // Limit an amount to the minimum wage and ceiling of the date's month
    // (Form8's GridSalmin and gridiinss).
    std::string devolvevalor(const std::string& V, const std::string& D);
    std::string devolvevalorst(const std::string& V, const std::string& D, const std::string& flag);
};

extern TForm9* Form9;

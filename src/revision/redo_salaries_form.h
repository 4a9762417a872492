#pragma once
// "Refazer Salários": replaces the columns Data, Valor Calculado and Valor
// Pago of the wizard's spreadsheet and recomputes the totals.
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TStringAlignGrid;

class TForm13 : public TForm {
public:
    explicit TForm13(TComponent* AOwner);

    TStringAlignGrid* refazsalario = nullptr; // Data, Valor Calculado, Valor Pago
    TButton* Button1 = nullptr;               // Refazer
    TButton* Button2 = nullptr;               // Sair

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm13* Form13;

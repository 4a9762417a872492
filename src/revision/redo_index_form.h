#pragma once
// "Refazer índice de Atualização": replaces the columns Data, Índice Autor and
// Índice INSS of the wizard's spreadsheet and reruns its passes.
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TStringAlignGrid;

class TForm14 : public TForm {
public:
    explicit TForm14(TComponent* AOwner);

    TStringAlignGrid* refazsalario = nullptr; // Data, Índice Autor, Índice INSS
    TButton* Button1 = nullptr;               // Refazer
    TButton* Button2 = nullptr;               // Sair

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern TForm14* Form14;

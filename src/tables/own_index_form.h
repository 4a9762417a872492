#pragma once
// "Configurar Meu Índice": the user's own correction index, month by month,
// saved to meuindice.tab; the wizard reads that file instead of the
// revision's correction table when its own-index box is on.
#include <string>

#include "grids/align_grid.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TForm15 : public TForm {
public:
    explicit TForm15(TComponent* AOwner);

    // Where "Gravar" writes; the start-up load sets it.
    std::string DataDir;

    TStringAlignGrid* GridMI;
    TPanel* Panel1;
    TButton* Button4;  // Gravar
    TButton* Button11; // Inserir Linha
    TButton* Button12; // Remover Linha
    TButton* Button1;  // Fechar

    void Button4Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void GridMISelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
};

extern TForm15* Form15;

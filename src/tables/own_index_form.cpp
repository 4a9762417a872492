#include "tables/own_index_form.h"

#include "platform/runtime/files.h"
#include "tables/table_names.h"
#include "tables/tables_form.h"

TForm15* Form15 = nullptr;

TForm15::TForm15(TComponent* AOwner) : TForm(AOwner), DataDir(GetCurrentDir()) {
    SetName("Form15");
    SetCaption("Configurar Meu Índice");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(300);
    SetClientHeight(400);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetWidth(112);
    Panel1->SetAlign(TAlign::alRight);
    GridMI = Make<TStringAlignGrid>(this, this, "GridMI");
    GridMI->SetColCount(2);
    GridMI->SetRowCount(2);
    GridMI->SetFixedRows(1);
    GridMI->SetFixedCols(0);
    GridMI->SetDefaultColWidth(84);
    GridMI->SetDefaultRowHeight(20);
    GridMI->SetOptions(DefaultGridOptions | goEditing | goTabs | goColSizing);
    GridMI->SetAlign(TAlign::alClient);

    const struct {
        TButton** button;
        const char* name;
        const char* caption;
    } buttons[] = {{&Button4, "Button4", "Gravar"},
                   {&Button11, "Button11", "Inserir Linha"},
                   {&Button12, "Button12", "Remover Linha"},
                   {&Button1, "Button1", "Fechar"}};
    int top = 8;
    for (const auto& b : buttons) {
        *b.button = Make<TButton>(this, Panel1, b.name);
        (*b.button)->SetCaption(b.caption);
        (*b.button)->SetBounds(8, top, 96, 25);
        top += 33;
    }

    Button4->OnClick = [this](TObject* Sender) { Button4Click(Sender); };
    Button11->OnClick = [this](TObject* Sender) { Button11Click(Sender); };
    Button12->OnClick = [this](TObject* Sender) { Button12Click(Sender); };
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    GridMI->OnSelectCell = [this](TObject* Sender, int ACol, int ARow, bool& CanSelect) {
        GridMISelectCell(Sender, ACol, ARow, CanSelect);
    };
}

void TForm15::Button4Click(TObject*) {
    tabelas::SaveGridTable(GridMI, DataDir, tabelas::MeuIndiceFile);
}

void TForm15::Button11Click(TObject*) {
    tabelas::AppendMonthRow(GridMI, false);
}

void TForm15::Button12Click(TObject*) {
    tabelas::RemoveLastRow(GridMI);
}

void TForm15::Button1Click(TObject*) {
    Close();
}

void TForm15::GridMISelectCell(TObject*, int, int ARow, bool& CanSelect) {
    CanSelect = true;
    tabelas::FillMonthKey(GridMI, ARow, false);
}

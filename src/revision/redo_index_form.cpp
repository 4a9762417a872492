#include "revision/redo_index_form.h"

#include "platform/runtime/cell_matrix.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_grid.h"

TForm14* Form14 = nullptr;

TForm14::TForm14(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form14");
    SetCaption("Refazer índice de Atualização");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(400);
    refazsalario = wizard_grid::NewGrid(this, this, "refazsalario", 3, 2, true);
    wizard_grid::SetBounds(refazsalario, 8, 8, 404, 344);
    wizard_grid::SetColWidths(refazsalario, {90, 140, 140});
    TCellMatrix& cells = wizard_grid::Cells(refazsalario);
    cells.SetCell(0, 0, "Data");
    cells.SetCell(1, 0, "Índice Autor");
    cells.SetCell(2, 0, "Índice INSS");
    Button1 = Make<TButton>(this, this, "Button1");
    Button1->SetCaption("Refazer");
    Button1->SetBounds(212, 364, 95, 27);
    Button2 = Make<TButton>(this, this, "Button2");
    Button2->SetCaption("Sair");
    Button2->SetBounds(317, 364, 95, 27);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
}

// Data, Índice Autor and Índice INSS replace the spreadsheet's columns 0, 1
// and 4; both benefits are carried again from row 1, then the totals.
void TForm14::Button1Click(TObject*) {
    SetActiveControl(nullptr);
    wizard_grid::CommitEdit(refazsalario);
    const TCellMatrix& from = wizard_grid::Cells(refazsalario);
    TCellMatrix& to = wizard_grid::Cells(Form12->planilha);
    to.SetCol(0, from.Col(0));
    to.SetCol(1, from.Col(1));
    to.SetCol(4, from.Col(2));
    wizard_grid::Changed(Form12->planilha);
    if (Form12->Csteto->Checked())
        Form12->corrigevalorttfim();
    else
        Form12->corrigevalorfim();
    if (Form12->Cjuros->Checked())
        Form12->corrigevalor2fim();
    else
        Form12->corrigevalor3fim();
    Close();
}

void TForm14::Button2Click(TObject*) {
    Close();
}

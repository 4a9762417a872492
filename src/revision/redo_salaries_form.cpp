#include "revision/redo_salaries_form.h"

#include "platform/runtime/cell_matrix.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_grid.h"

TForm13* Form13 = nullptr;

TForm13::TForm13(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form13");
    SetCaption("Refazer Salários");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(400);
    refazsalario = wizard_grid::NewGrid(this, this, "refazsalario", 3, 2, true);
    wizard_grid::SetBounds(refazsalario, 8, 8, 404, 344);
    wizard_grid::SetColWidths(refazsalario, {90, 140, 140});
    TCellMatrix& cells = wizard_grid::Cells(refazsalario);
    cells.SetCell(0, 0, "Data");
    cells.SetCell(1, 0, "Valor Calculado");
    cells.SetCell(2, 0, "Valor Pago");
    Button1 = Make<TButton>(this, this, "Button1");
    Button1->SetCaption("Refazer");
    Button1->SetBounds(212, 364, 95, 27);
    Button2 = Make<TButton>(this, this, "Button2");
    Button2->SetCaption("Sair");
    Button2->SetBounds(317, 364, 95, 27);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
}

// Data, Valor Calculado and Valor Pago replace the spreadsheet's columns 0, 2
// and 5; the differences and totals are computed again.
void TForm13::Button1Click(TObject*) {
    SetActiveControl(nullptr);
    wizard_grid::CommitEdit(refazsalario);
    const TCellMatrix& from = wizard_grid::Cells(refazsalario);
    TCellMatrix& to = wizard_grid::Cells(Form12->planilha);
    to.SetCol(0, from.Col(0));
    to.SetCol(2, from.Col(1));
    to.SetCol(5, from.Col(2));
    wizard_grid::Changed(Form12->planilha);
    Form12->refazsalx();
    Close();
}

void TForm13::Button2Click(TObject*) {
    Close();
}

#include "revision/redo_columns_form.h"

#include "grids/align_grid.h"
#include "platform/runtime/cell_matrix.h"
#include "revision/arrears_wizard.h"
#include "revision/wizard_grid.h"

TRedoColumnsForm::TRedoColumnsForm(TComponent* AOwner, const std::string& name, const std::string& caption,
                                   const std::string& header1, const std::string& header2)
    : TForm(AOwner) {
    SetName(name);
    SetCaption(caption);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(420);
    SetClientHeight(400);
    refazsalario = wizard_grid::NewGrid(this, this, "refazsalario", 3, 2, true);
    refazsalario->SetBounds(8, 8, 404, 344);
    wizard_grid::SetColWidths(refazsalario, {90, 140, 140});
    TCellMatrix& cells = refazsalario->Matrix();
    cells.SetCell(0, 0, "Data");
    cells.SetCell(1, 0, header1);
    cells.SetCell(2, 0, header2);
    Button1 = Make<TButton>(this, this, "Button1");
    Button1->SetCaption("Refazer");
    Button1->SetBounds(212, 364, 95, 27);
    Button2 = Make<TButton>(this, this, "Button2");
    Button2->SetCaption("Sair");
    Button2->SetBounds(317, 364, 95, 27);
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
}

void TRedoColumnsForm::CopyIntoPlanilha(int col1, int col2) {
    SetActiveControl(nullptr);
    refazsalario->HideEditor();
    const TCellMatrix& from = refazsalario->Matrix();
    TCellMatrix& to = Form12->planilha->Matrix();
    to.SetCol(0, from.Col(0));
    to.SetCol(col1, from.Col(1));
    to.SetCol(col2, from.Col(2));
    Form12->planilha->MatrixChanged();
}

void TRedoColumnsForm::Button2Click(TObject*) {
    Close();
}

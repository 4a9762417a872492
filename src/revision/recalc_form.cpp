#include "revision/recalc_form.h"

TForm10* Form10 = nullptr;

TForm10::TForm10(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form10");
    SetCaption("Form10");
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(720);
    SetClientHeight(420);

    // The columns of the wizard's spreadsheet.
    planilha = Make<TStringAlignGrid>(this, this, "planilha");
    planilha->SetColCount(14);
    planilha->SetRowCount(2);
    planilha->SetFixedCols(0);
    planilha->SetFixedRows(1);
    planilha->SetDefaultRowHeight(20);
    planilha->SetAlign(TAlign::alClient);
}

#include "simulation/grace_periods_form.h"

#include "platform/gui/dialogs.h"
#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "revision/wizard_links.h"
#include "simulation/contribution_core.h"
#include "simulation/contribution_time_form.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form3");
    SetCaption("Aposentadoria por idade (prazos de carência)");
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(520);
    SetClientHeight(400);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(37);
    Panel1->SetAlign(TAlign::alBottom);
    SpeedButton1 = Make<TRxSpeedButton>(this, Panel1, "SpeedButton1");
    SpeedButton1->SetCaption("&Fechar");
    SpeedButton1->SetBounds(416, 6, 96, 25);

    IconGrid2 = Make<TIconGrid>(this, this, "IconGrid2");
    IconGrid2->SetColCount(4);
    IconGrid2->SetRowCount(4);
    IconGrid2->SetFixedCols(1);
    IconGrid2->SetFixedRows(1);
    IconGrid2->SetDefaultRowHeight(20);
    IconGrid2->SetColWidths(0, 64);
    IconGrid2->SetColWidths(1, 64);
    IconGrid2->SetColWidths(2, 180);
    IconGrid2->SetColWidths(3, 180);
    IconGrid2->SetHeight(4 * 21 + 8);
    IconGrid2->SetAlign(TAlign::alTop);
    const char* heads[] = {"Idade", "Ano", "Prazo conforme a Lei 8.213/91",
                           "Prazo conforme a Lei 9.032/95"};
    for (int c = 0; c < 4; ++c)
        IconGrid2->SetCells(c, 0, heads[c]);
    IconGrid2->SetCells(0, 1, "55 anos");
    IconGrid2->SetCells(0, 2, "60 anos");
    IconGrid2->SetCells(0, 3, "65 anos");

    // Below the ages, dragged to give the year table more or less room.
    Splitter1 = Make<TSplitter>(this, this, "Splitter1");
    Splitter1->SetAlign(TAlign::alTop);
    Splitter1->SetBounds(0, IconGrid2->Height(), ClientWidth(), 3);

    IconGrid1 = Make<TIconGrid>(this, this, "IconGrid1");
    IconGrid1->SetColCount(3);
    IconGrid1->SetFixedCols(0);
    IconGrid1->SetDefaultRowHeight(20);
    IconGrid1->SetColWidths(0, 64);
    IconGrid1->SetColWidths(1, 120);
    IconGrid1->SetColWidths(2, 120);
    IconGrid1->SetAlign(TAlign::alClient);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };
}

void TForm3::FormShow(TObject*) {
    const std::string path = wizard_links::DataFile("prazosAI.tab");
    if (FileExists(path)) {
        // The file replaces the table whole: rows of a longer one must not stay.
        TCellMatrix& table = IconGrid1->Matrix();
        table.Clear();
        table.SetRowCount(2);
        IconGrid1->LoadFromFile(path);
    }
    // The ages of an earlier person go first: an empty or wrong date then
    // stops here with the conversion error, and the table still shows.
    soma::prazosCarencia(0, 0, IconGrid1->Matrix(), IconGrid2->Matrix());
    IconGrid2->MatrixChanged();
    if (!Form2) return;
    const TDateTime nascimento = StrToDate(Form2->MaskEdit1->Text());
    const TDateTime requerimento = StrToDate(Form2->MaskEdit2->Text());
    soma::prazosCarencia(nascimento, requerimento, IconGrid1->Matrix(), IconGrid2->Matrix());
    IconGrid2->MatrixChanged();
}

int TForm3::DifDias(TDateTime A, TDateTime B) {
    return soma::AnosDe360(A, B);
}

void TForm3::SpeedButton1Click(TObject*) {
    Close();
}

#include "simulation/conversion_form.h"

#include "platform/runtime/cell_matrix.h"
#include "platform/runtime/files.h"
#include "revision/wizard_links.h"

TForm4* Form4 = nullptr;

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form4");
    SetCaption("Conversão de tempo de atividade especiais em comum");
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(460);
    SetClientHeight(260);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(37);
    Panel1->SetAlign(TAlign::alBottom);
    SpeedButton1 = Make<TRxSpeedButton>(this, Panel1, "SpeedButton1");
    SpeedButton1->SetCaption("&Fechar");
    SpeedButton1->SetBounds(356, 6, 96, 25);

    IconGrid1 = Make<TIconGrid>(this, this, "IconGrid1");
    IconGrid1->SetColCount(3);
    IconGrid1->SetRowCount(2);
    IconGrid1->SetFixedCols(0);
    IconGrid1->SetDefaultRowHeight(20);
    IconGrid1->SetColWidths(0, 200);
    IconGrid1->SetColWidths(1, 120);
    IconGrid1->SetColWidths(2, 120);
    IconGrid1->SetAlign(TAlign::alClient);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    SpeedButton1->OnClick = [this](TObject* Sender) { SpeedButton1Click(Sender); };
}

void TForm4::FormShow(TObject*) {
    const std::string path = wizard_links::DataFile("fator.tab");
    if (!FileExists(path)) return;
    // The file replaces the table whole: rows of a longer one must not stay.
    TCellMatrix& table = IconGrid1->Matrix();
    table.Clear();
    table.SetRowCount(2);
    IconGrid1->LoadFromFile(path);
}

void TForm4::SpeedButton1Click(TObject*) {
    Close();
}

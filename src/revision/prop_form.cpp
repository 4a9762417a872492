#include "revision/prop_form.h"

#include "controls/date_edit.h"
#include "platform/gui/dialogs.h"
#include "platform/runtime/dates.h"
#include "revision/revision_form.h"
#include "revision/wizard_links.h"

TFprop* Fprop = nullptr;

TFprop::TFprop(TComponent* AOwner) : TForm(AOwner) {
    SetName("Fprop");
    SetCaption("Fprop");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(440);
    SetClientHeight(150);

    TPlacer place(this, 16, 16, 8);
    Label1 = Make<TLabel>(this, this, "Label1");
    Label1->SetCaption("Corrige o primeiro benefício aplicando o índice proporcional ao número de meses");
    Label1->SetWordWrap(true);
    Label1->SetAutoSize(false);
    place.Add(Label1, 408, 32).NewRow(8);
    Label2 = Make<TLabel>(this, this, "Label2");
    Label2->SetCaption("Aplicar correção proporcional desde:");
    place.Add(Label2, 210, 21);
    DateEdit1 = Make<TDateEdit>(this, this, "DateEdit1");
    DateEdit1->SetText("01/05/1996");
    place.Add(DateEdit1, 120, 21).NewRow(18);
    place.Column(224);
    Gravar = Make<TButton>(this, this, "Gravar");
    Gravar->SetCaption("Gravar");
    place.Add(Gravar, 95, 27);
    Fechar = Make<TButton>(this, this, "Fechar");
    Fechar->SetCaption("Fechar");
    Fechar->SetCancel(true);
    place.Add(Fechar, 95, 27);
    Memo1 = Make<TMemo>(this, this, "Memo1");
    Memo1->SetVisible(false);
    Memo1->SetBounds(16, 120, 100, 20);

    DateEdit1->OnExit = [this](TObject* Sender) { DateEdit1Exit(Sender); };
    Gravar->OnClick = [this](TObject* Sender) { GravarClick(Sender); };
    Fechar->OnClick = [this](TObject* Sender) { FecharClick(Sender); };
}

void TFprop::DateEdit1Exit(TObject*) {
    DateEdit1->SetText(Form9->validadata(DateEdit1->Text()));
}

void TFprop::GravarClick(TObject*) {
    // An empty or unreadable date reads as the edit's NoDate, long before 1996.
    if (DateEdit1->Date() >= EncodeDate(1996, 5, 1)) {
        Memo1->Lines.Clear();
        Memo1->Lines.Add(DateEdit1->Text());
        Memo1->Lines.SaveToFile(wizard_links::DataFile("prop.ini"));
    } else {
        ShowMessage("A tabela corrige valores proporcionais apenas desde 01/05/1996, para valores "
                    "anteriores lance manualmente (Antes de finalizar o cálculo use o botão "
                    "Refazer Índice)");
    }
}

void TFprop::FecharClick(TObject*) {
    Close();
}

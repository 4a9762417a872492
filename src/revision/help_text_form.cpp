#include "revision/help_text_form.h"

TForm7* Form7 = nullptr;

TForm7::TForm7(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form7");
    SetCaption("Configurar Cálculo");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poMainFormCenter);
    SetClientWidth(520);
    SetClientHeight(360);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(41);
    Panel1->SetAlign(TAlign::alBottom);
    Button2 = Make<TButton>(this, Panel1, "Button2");
    Button2->SetCaption("Fechar");
    Button2->SetCancel(true);
    Button2->SetBounds(520 - 95 - 12, 7, 95, 27);
    RE = Make<TRichEdit>(this, this, "RE");
    RE->SetReadOnly(true);
    RE->SetAlign(TAlign::alClient);

    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
}

void TForm7::Button2Click(TObject*) {
    Close();
}

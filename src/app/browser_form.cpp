#include "app/browser_form.h"

TForm16* Form16 = nullptr;

TForm16::TForm16(TComponent* AOwner) : TForm(AOwner) {
    SetName("Form16");
    SetCaption("Form16");
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(640);
    SetClientHeight(480);

    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetCaption("");
    Panel1->SetHeight(41);
    Panel1->SetAlign(TAlign::alBottom);
    Button2 = Make<TButton>(this, Panel1, "Button2");
    Button2->SetCaption("Fechar");
    Button2->SetCancel(true);
    Button2->SetBounds(8, 8, 75, 25);

    WB = Make<THTMLViewer>(this, this, "WB");
    WB->SetDefBackground(clWhite);
    WB->SetAlign(TAlign::alClient);

    Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
}

void TForm16::Button2Click(TObject*) { Close(); }

#include "html/view/go_page_form.h"

#include <algorithm>

#include "platform/runtime/formats.h"

TGoPageForm* GoPageForm = nullptr;

TGoPageForm::TGoPageForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("GoPageForm");
    SetCaption("Ir para a Página");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(236);
    SetClientHeight(92);

    Label1 = Make<TLabel>(this, this, "Label1");
    Label1->SetCaption("Página:");
    Label1->SetBounds(16, 20, 44, 13);
    PageNum = Make<TEdit>(this, this, "PageNum");
    PageNum->SetBounds(68, 16, 80, 21);
    PageNum->SetTabStop(true);
    PageNumUpDown = Make<TUpDown>(this, this, "PageNumUpDown");
    PageNumUpDown->SetBounds(148, 16, 16, 21);
    PageNumUpDown->SetMin(1);
    PageNumUpDown->SetMax(9999);
    PageNumUpDown->Thousands = false;
    PageNumUpDown->SetAssociate(PageNum);
    PageNumUpDown->SetPosition(1);
    Label1->FocusControl = PageNum;

    OKBtn = Make<TButton>(this, this, "OKBtn");
    OKBtn->SetCaption("OK");
    OKBtn->SetModalResult(mrOk);
    OKBtn->SetDefault(true);
    OKBtn->SetBounds(68, 56, 75, 25);
    CancelBtn = Make<TButton>(this, this, "CancelBtn");
    CancelBtn->SetCaption("Cancelar");
    CancelBtn->SetModalResult(mrCancel);
    CancelBtn->SetCancel(true);
    CancelBtn->SetBounds(150, 56, 75, 25);

    PageNum->OnEnter = [this](TObject* Sender) { PageNumEnter(Sender); };
    PageNum->OnKeyPress = [this](TObject* Sender, char& Key) { PageNumKeyPress(Sender, Key); };
}

int TGoPageForm::Value() const {
    int page = StrToIntDef(PageNum->Text(), PageNumUpDown->Min());
    return std::clamp(page, PageNumUpDown->Min(), PageNumUpDown->Max());
}

void TGoPageForm::SetValue(int page) {
    PageNumUpDown->SetPosition(page);
}

void TGoPageForm::SetMaxValue(int pages) {
    PageNumUpDown->SetMax(std::max(pages, PageNumUpDown->Min()));
}

void TGoPageForm::PageNumEnter(TObject*) {
    PageNum->SelectAll();
}

void TGoPageForm::PageNumKeyPress(TObject*, char& Key) {
    if (Key == '\r') {
        Key = 0;
        OKBtn->Click();
    }
}

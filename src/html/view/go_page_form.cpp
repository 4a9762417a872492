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
    PageNum = Make<TRxSpinEdit>(this, this, "PageNum");
    PageNum->SetBounds(68, 16, 96, 21);
    PageNum->SetTabStop(true);
    PageNum->SetMinValue(1);
    PageNum->SetMaxValue(9999);  // until the preview sets its page count
    PageNum->SetValue(1);
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
    const long double page = std::clamp(PageNum->Value(), PageNum->MinValue(), PageNum->MaxValue());
    return static_cast<int>(page);
}

void TGoPageForm::SetValue(int page) { PageNum->SetValue(page); }

// A maximum below the minimum would turn the clamp around.
void TGoPageForm::SetMaxValue(int pages) { PageNum->SetMaxValue(std::max(pages, 1)); }

void TGoPageForm::PageNumEnter(TObject*) {
    PageNum->SelectAll();
}

void TGoPageForm::PageNumKeyPress(TObject*, char& Key) {
    if (Key == '\r') {
        Key = 0;
        OKBtn->Click();
    }
}

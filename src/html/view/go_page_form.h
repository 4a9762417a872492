#pragma once
#include "controls/spin_edit.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// The preview's "go to page" dialog: a spin edit for the page number.
class TGoPageForm : public TForm {
public:
    explicit TGoPageForm(TComponent* AOwner);

    TLabel* Label1;
    TRxSpinEdit* PageNum;
    TButton* OKBtn;
    TButton* CancelBtn;

    // The page typed or stepped to; text that is no number reads as the minimum.
    int Value() const;
    void SetValue(int page);
    int MaxValue() const { return static_cast<int>(PageNum->MaxValue()); }
    void SetMaxValue(int pages);

    void PageNumEnter(TObject* Sender);
    void PageNumKeyPress(TObject* Sender, char& Key);
};

extern TGoPageForm* GoPageForm;

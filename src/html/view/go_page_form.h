#pragma once
#include "platform/gui/comctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// The preview's "go to page" dialog. PageNum is a plain edit stepped by an
// up-down control until the program has a spin edit of its own.
class TGoPageForm : public TForm {
public:
    explicit TGoPageForm(TComponent* AOwner);

    TLabel* Label1;
    TEdit* PageNum;
    TUpDown* PageNumUpDown;
    TButton* OKBtn;
    TButton* CancelBtn;

    // The page typed or stepped to; text that is no number reads as the minimum.
    int Value() const;
    void SetValue(int page);
    int MaxValue() const { return PageNumUpDown->Max(); }
    void SetMaxValue(int pages);

    void PageNumEnter(TObject* Sender);
    void PageNumKeyPress(TObject* Sender, char& Key);
};

extern TGoPageForm* GoPageForm;

#pragma once
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* AOwner);

    TPanel* Panel1;
    TImage* ProgramIcon;
    TLabel* ProductName;
    TLabel* Version;
    TLabel* Copyright;
    TLabel* Comments;
    TButton* OKButton;

    void FormShow(TObject* Sender);
    void OKButtonClick(TObject* Sender);
};

extern TAboutBox* AboutBox;

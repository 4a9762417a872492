#pragma once
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// A window for a web page; nothing loads one into it.
class TForm16 : public TForm {
public:
    explicit TForm16(TComponent* AOwner);

    TPanel* Panel1;
    TButton* Button2;
    // Stands where the page would be shown.
    TPanel* WB;

    void Button2Click(TObject* Sender);
};

extern TForm16* Form16;

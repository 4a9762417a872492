#pragma once
#include "html/view/html_viewer.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

// A window for a web page, shown by the program's own viewer.
class TForm16 : public TForm {
public:
    explicit TForm16(TComponent* AOwner);

    TPanel* Panel1;
    TButton* Button2;
    THTMLViewer* WB;

    void Button2Click(TObject* Sender);
};

extern TForm16* Form16;

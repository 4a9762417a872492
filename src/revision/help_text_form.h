#pragma once
// The help-text window: callers empty RE, load a rich-text file into it and
// show the form.
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TForm7 : public TForm {
public:
    explicit TForm7(TComponent* AOwner);

    TPanel* Panel1 = nullptr;
    TButton* Button2 = nullptr; // Fechar
    TRichEdit* RE = nullptr;

    void Button2Click(TObject* Sender);
};

extern TForm7* Form7;

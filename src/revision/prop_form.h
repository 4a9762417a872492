#pragma once
// The start date of the proportional correction of the first benefit,
// kept in DataDir/prop.ini.
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TDateEdit;

class TFprop : public TForm {
public:
    explicit TFprop(TComponent* AOwner);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TDateEdit* DateEdit1 = nullptr; // default "01/05/1996"
    TButton* Gravar = nullptr;
    TButton* Fechar = nullptr;
    TMemo* Memo1 = nullptr; // hidden: the lines of prop.ini

    void DateEdit1Exit(TObject* Sender);
    void GravarClick(TObject* Sender);
    void FecharClick(TObject* Sender);
};

extern TFprop* Fprop;

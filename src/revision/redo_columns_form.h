#pragma once
// The two "Refazer" dialogs of the wizard: a grid of three columns (Data and
// two columns of the spreadsheet), "Refazer" and "Sair". Refazer copies the
// grid's columns over the spreadsheet's and reruns the passes that depend on
// them.
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class TStringAlignGrid;

class TRedoColumnsForm : public TForm {
public:
    TStringAlignGrid* refazsalario = nullptr; // Data and the two replaced columns
    TButton* Button1 = nullptr;               // Refazer
    TButton* Button2 = nullptr;               // Sair

    virtual void Button1Click(TObject* Sender) = 0;
    void Button2Click(TObject* Sender);

protected:
    // header1 and header2 name the grid's columns 1 and 2.
    TRedoColumnsForm(TComponent* AOwner, const std::string& name, const std::string& caption,
                     const std::string& header1, const std::string& header2);
    // Ends an open cell edit, then copies the grid's column 0 into the
    // spreadsheet's column 0 and its columns 1 and 2 into col1 and col2.
    void CopyIntoPlanilha(int col1, int col2);
};

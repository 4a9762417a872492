#pragma once
// The small dialog shown while the viewer formats pages for the preview or
// prints them: the page being made, and a Cancel that stops after it.
#include "platform/gui/forms.h"
#include "platform/gui/stdctrls.h"

class THTMLViewer;
class TMetaFilePrinter;

class TPrnStatusForm : public TForm {
public:
    explicit TPrnStatusForm(TComponent* AOwner);

    TLabel* StatusLabel;
    TButton* CancelButton;

    // Renders every page of the viewer's document into the metafile printer;
    // Abort is set when the user cancelled.
    void DoPreview(THTMLViewer* viewer, TMetaFilePrinter* mfPrinter, bool& Abort);
    // Prints pages FromPage..ToPage; Abort as above.
    void DoPrint(THTMLViewer* viewer, int FromPg, int ToPg, bool& Abort);

    void PageEvent(TObject* Sender, int NumPage, bool& StopPrinting);
    void CancelButtonClick(TObject* Sender);
    bool Cancelled() const { return cancelled_; }

private:
    THTMLViewer* viewer_ = nullptr;
    TMetaFilePrinter* mfPrinter_ = nullptr;
    bool cancelled_ = false;
    int fromPage_ = 1, toPage_ = 9999;
};

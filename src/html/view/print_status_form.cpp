#include "html/view/print_status_form.h"

#include "html/view/html_viewer.h"
#include "platform/gui/application.h"

TPrnStatusForm::TPrnStatusForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("PrnStatusForm");
    SetCaption("Carregando...");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientWidth(247);
    SetClientHeight(96);

    StatusLabel = Make<TLabel>(this, this, "StatusLabel");
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetAlignment(taCenter);
    StatusLabel->SetBounds(8, 16, 231, 16);
    StatusLabel->SetCaption("Status");

    CancelButton = Make<TButton>(this, this, "CancelButton");
    CancelButton->SetCaption("Cancelar");
    CancelButton->SetCancel(true);
    CancelButton->SetBounds(86, 56, 75, 25);
    CancelButton->OnClick = [this](TObject* Sender) { CancelButtonClick(Sender); };
}

void TPrnStatusForm::CancelButtonClick(TObject*) { cancelled_ = true; }

void TPrnStatusForm::PageEvent(TObject*, int NumPage, bool& StopPrinting) {
    if (cancelled_) {
        StopPrinting = true;
        return;
    }
    StatusLabel->SetCaption(NumPage == 0 ? std::string("Formatando") : "Página Número " + std::to_string(NumPage));
    Update();
}

namespace {
// The status form shows itself around a run of the viewer and always takes
// its page event back, whatever the run raises.
template <class F>
void AroundRun(TPrnStatusForm& form, THTMLViewer* viewer, bool& Abort, F&& run) {
    viewer->OnPageEvent = [&form](TObject* Sender, int NumPage, bool& Stop) { form.PageEvent(Sender, NumPage, Stop); };
    form.Show();
    try {
        run();
    } catch (...) {
        form.Hide();
        viewer->OnPageEvent = nullptr;
        throw;
    }
    form.Hide();
    Abort = form.Cancelled();
    viewer->OnPageEvent = nullptr;
}
}  // namespace

void TPrnStatusForm::DoPreview(THTMLViewer* viewer, TMetaFilePrinter* mfPrinter, bool& Abort) {
    viewer_ = viewer;
    mfPrinter_ = mfPrinter;
    AroundRun(*this, viewer, Abort, [&] { viewer->PrintPreview(mfPrinter); });
}

void TPrnStatusForm::DoPrint(THTMLViewer* viewer, int FromPg, int ToPg, bool& Abort) {
    viewer_ = viewer;
    fromPage_ = FromPg;
    toPage_ = ToPg;
    AroundRun(*this, viewer, Abort, [&] { viewer->Print(FromPg, ToPg); });
}

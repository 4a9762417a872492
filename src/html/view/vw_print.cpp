#include "html/view/vw_print.h"

#include "platform/gui/application.h"

namespace {
TvwPrinter* current = nullptr;
}

TvwPrinter::~TvwPrinter() {
    if (printing_) {
        try {
            Abort();
        } catch (...) {
        }
    }
    if (current == this) current = nullptr;
}

TPrinterCanvas& TvwPrinter::Canvas() {
    InformationContext();
    if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(&Printer(), true);
    return *canvas_;
}

// The job is over (done or dropped): its painter goes, its settings too.
void TvwPrinter::EndJob() {
    printing_ = false;
    Printer().AbortProc = nullptr;
    devMode_.reset();
}

void TvwPrinter::RequirePrinting() const {
    if (!printing_) throw EPrinter("Printer is not currently printing");
}

void TvwPrinter::BeginDoc() {
    if (printing_) throw EPrinter("Printing in progress");
    TPrinter& p = Printer();
    p.SetTitle(Title.substr(0, 31));
    // Pending messages run between pages so that a Cancel button is seen.
    p.AbortProc = [this] {
        if (Application) Application->ProcessMessages();
        if (aborted_ && canvas_) canvas_->Lost();  // the printer ends its painter next
        return !aborted_;
    };
    aborted_ = false;
    try {
        p.BeginDoc();
    } catch (...) {
        p.AbortProc = nullptr;
        throw;
    }
    printing_ = true;
    pageNumber_ = 1;
    state_ = 2;
    devMode_ = std::make_unique<TDeviceMode>();
    devMode_->Device = p.PrintsToFile() ? p.OutputFileName() : p.PrinterName();
    devMode_->PaperWidthMm = p.PaperWidthMm();
    devMode_->PaperHeightMm = p.PaperHeightMm();
    devMode_->Orientation = p.Orientation();
    devMode_->Copies = p.Copies();
}

void TvwPrinter::NewPage() {
    RequirePrinting();
    TPrinter& p = Printer();
    p.NewPage();
    if (!p.Printing()) {  // the abort procedure stopped the job
        aborted_ = true;
        EndJob();
        return;
    }
    ++pageNumber_;
}

void TvwPrinter::EndDoc() {
    RequirePrinting();
    TPrinter& p = Printer();
    if (canvas_) canvas_->Lost();
    if (!aborted_ && p.Printing()) p.EndDoc();
    if (p.Aborted()) aborted_ = true;
    EndJob();
}

void TvwPrinter::Abort() {
    RequirePrinting();
    TPrinter& p = Printer();
    if (canvas_) canvas_->Lost();
    if (p.Printing()) p.Abort();
    aborted_ = true;
    EndDoc();
}

int TvwPrinter::PageWidth() const { return DeviceCaps().HorzRes; }
int TvwPrinter::PageHeight() const { return DeviceCaps().VertRes; }
TDeviceCaps TvwPrinter::DeviceCaps() const {
    InformationContext();
    return Printer().DeviceCaps();
}

TvwPrinter* vwPrinter() {
    if (!current) current = new TvwPrinter;  // the default object lives for the run
    return current;
}

TvwPrinter* SetvwPrinter(TvwPrinter* printer) {
    TvwPrinter* old = current;
    current = printer;
    return old;
}

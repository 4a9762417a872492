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

TCanvas& TvwPrinter::Canvas() { return Printer().Canvas(); }

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
}

void TvwPrinter::NewPage() {
    RequirePrinting();
    TPrinter& p = Printer();
    p.NewPage();
    if (!p.Printing()) {  // the abort procedure stopped the job
        printing_ = false;
        aborted_ = true;
        p.AbortProc = nullptr;
        return;
    }
    ++pageNumber_;
}

void TvwPrinter::EndDoc() {
    RequirePrinting();
    TPrinter& p = Printer();
    if (!aborted_ && p.Printing()) p.EndDoc();
    if (p.Aborted()) aborted_ = true;
    printing_ = false;
    p.AbortProc = nullptr;
}

void TvwPrinter::Abort() {
    RequirePrinting();
    TPrinter& p = Printer();
    if (p.Printing()) p.Abort();
    aborted_ = true;
    EndDoc();
}

int TvwPrinter::PageWidth() const { return Printer().PageWidth(); }
int TvwPrinter::PageHeight() const { return Printer().PageHeight(); }
TDeviceCaps TvwPrinter::DeviceCaps() const { return Printer().DeviceCaps(); }

TvwPrinter* vwPrinter() {
    if (!current) current = new TvwPrinter;  // the default object lives for the run
    return current;
}

TvwPrinter* SetvwPrinter(TvwPrinter* printer) {
    TvwPrinter* old = current;
    current = printer;
    return old;
}

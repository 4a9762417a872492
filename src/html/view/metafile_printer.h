#pragma once
// Pages recorded as metafiles instead of printed: the print preview draws the
// document through this object and shows the pages it collected. The page
// geometry is the printer's, read when the document begins.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/classes.h"
#include "platform/gui/metafile.h"

// Fired for every page begun (and with 0 before the first): StopPrinting ends
// the job after the current page.
using TPageEvent = std::function<void(TObject* Sender, int NumPage, bool& StopPrinting)>;

enum class TUnits : uint8_t { unInches, unCentimeters };

class TMetaFilePrinter : public TComponent {
public:
    explicit TMetaFilePrinter(TComponent* AOwner);
    ~TMetaFilePrinter() override;

    // Reads the printer's geometry, drops earlier pages and opens page 1.
    // "Printer not available" when there is no device to print on.
    void BeginDoc();
    // Closes the current page and opens a new white one; fires OnPageEvent
    // with the page count.
    void NewPage();
    // Closes the last page, dropped when nothing was drawn on it.
    void EndDoc();
    // The current page's canvas (marks the page as used).
    TCanvas& GetCanvas();
    bool Printing() const { return printing_; }

    // Page i from 0; nullptr out of range.
    TMetafile* GetMetaFile(int i) const;
    int LastAvailablePage() const { return static_cast<int>(pages_.size()); }

    // Printer geometry in printer pixels, valid from BeginDoc on.
    int PixelsPerInchX = 0, PixelsPerInchY = 0;
    int PaperWidth = 0, PaperHeight = 0;
    int OffsetX = 0, OffsetY = 0;
    int PageWidth = 0, PageHeight = 0;
    // The printer's canvas the pages are recorded against (its answers to
    // GetDeviceCaps are the pages').
    TCanvas* PrinterDC() const { return printerDC_; }

    TUnits Units() const { return units_; }
    void SetUnits(TUnits units);
    double UnitsFactor() const { return factor_; }

    TPageEvent OnPageEvent;

private:
    std::vector<std::unique_ptr<TMetafile>> pages_;
    std::unique_ptr<TMetafileCanvas> canvas_;
    TCanvas* printerDC_ = nullptr;
    TUnits units_ = TUnits::unInches;
    double factor_ = 1.0;
    bool printing_ = false;
    bool pageUsed_ = false;
};

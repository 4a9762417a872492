#pragma once
// Pages recorded as metafiles instead of printed: the print preview draws the
// document through this object and shows the pages it collected. The page
// geometry is the printer's, read when the document begins.
#include <climits>
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
    // Which pages (from 0) the next documents record; the other pages are
    // still drawn, to find where each begins and how many there are, on a
    // canvas that keeps nothing. Pages recorded before stay when a later
    // document does not record them again. Until this is called every page
    // is recorded and BeginDoc drops earlier pages.
    void SetRecordedPages(int first, int last);
    // Whether page i holds its drawing.
    bool Recorded(int i) const { return GetMetaFile(i) != nullptr; }
    // Closes the current page and opens a new white one; fires OnPageEvent
    // with the page count.
    void NewPage();
    // Closes the last page, dropped when nothing was drawn on it.
    void EndDoc();
    // The current page's canvas (marks the page as used).
    TCanvas& GetCanvas();
    bool Printing() const { return printing_; }

    // Page i from 0; nullptr out of range or not recorded.
    TMetafile* GetMetaFile(int i) const;
    int LastAvailablePage() const { return pageCount_; }

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
    bool Recording(int i) const { return i >= recordFirst_ && i <= recordLast_; }

    // One slot a page; null for a page not recorded.
    std::vector<std::unique_ptr<TMetafile>> pages_;
    int pageCount_ = 0;
    int recordFirst_ = 0, recordLast_ = INT_MAX;
    bool keepPages_ = false;
    // What an unrecorded page is drawn on.
    TMetafile scratch_;
    std::unique_ptr<TMetafileCanvas> canvas_;
    TCanvas* printerDC_ = nullptr;
    TUnits units_ = TUnits::unInches;
    double factor_ = 1.0;
    bool printing_ = false;
    bool pageUsed_ = false;
};

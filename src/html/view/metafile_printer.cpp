#include "html/view/metafile_printer.h"

#include "platform/gui/application.h"
#include "platform/gui/printer.h"

TMetaFilePrinter::TMetaFilePrinter(TComponent* AOwner) : TComponent(AOwner) {}

TMetaFilePrinter::~TMetaFilePrinter() {
    canvas_.reset();
    pages_.clear();
}

void TMetaFilePrinter::SetUnits(TUnits units) {
    units_ = units;
    factor_ = units == TUnits::unInches ? 1.0 : 2.54;
}

void TMetaFilePrinter::BeginDoc() {
    TPrinter& printer = Printer();
    // Without a system printer the PDF file stands in for one, so there is
    // always a device; a device that reports no paper is none.
    const TDeviceCaps caps = printer.DeviceCaps();
    if (caps.LogPixelsX <= 0 || caps.LogPixelsY <= 0 || caps.PhysicalWidth <= 0 || caps.PhysicalHeight <= 0)
        throw EPrinter("Printer not available");
    printing_ = true;
    canvas_.reset();
    if (!keepPages_) pages_.clear();
    pageCount_ = 0;
    printerDC_ = &printer.Canvas();
    PixelsPerInchX = caps.LogPixelsX;
    PixelsPerInchY = caps.LogPixelsY;
    PaperWidth = caps.PhysicalWidth;
    PaperHeight = caps.PhysicalHeight;
    OffsetX = caps.PhysicalOffsetX;
    OffsetY = caps.PhysicalOffsetY;
    PageHeight = caps.VertRes;
    PageWidth = caps.HorzRes;
    NewPage();
}

void TMetaFilePrinter::SetRecordedPages(int first, int last) {
    recordFirst_ = first;
    recordLast_ = last;
    keepPages_ = true;
}

void TMetaFilePrinter::NewPage() {
    canvas_.reset();  // closes the previous page's recording
    const int index = pageCount_++;
    if (pages_.size() < static_cast<size_t>(pageCount_)) pages_.resize(static_cast<size_t>(pageCount_));
    if (Recording(index)) {
        pages_[static_cast<size_t>(index)] = std::make_unique<TMetafile>();
        canvas_ = std::make_unique<TMetafileCanvas>(*pages_[static_cast<size_t>(index)], printerDC_, PaperWidth,
                                                    PaperHeight);
    } else {
        // Closed at once: it draws nothing but measures as the page would.
        canvas_ = std::make_unique<TMetafileCanvas>(scratch_, printerDC_, PaperWidth, PaperHeight);
        canvas_->Close();
    }
    TCanvas& c = *canvas_;
    c.Brush().SetColor(clWhite);
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(TRect{0, 0, PaperWidth, PaperHeight});
    if (pageCount_ == 1) {
        c.Font().SetPixelsPerInch(Screen ? Screen->PixelsPerInch() : 96);
        c.Font().SetName("Arial");
        c.Font().SetSize(10);
        c.Brush().SetStyle(TBrushStyle::bsClear);
    }
    pageUsed_ = false;
    bool stop = false;
    if (OnPageEvent) OnPageEvent(this, LastAvailablePage(), stop);
}

TCanvas& TMetaFilePrinter::GetCanvas() {
    if (!canvas_) throw EPrinter("Printer is not currently printing");
    pageUsed_ = true;
    return *canvas_;
}

void TMetaFilePrinter::EndDoc() {
    printing_ = false;
    canvas_.reset();
    printerDC_ = nullptr;
    if (!pageUsed_ && pageCount_ > 0) --pageCount_;
    pages_.resize(static_cast<size_t>(pageCount_));
}

TMetafile* TMetaFilePrinter::GetMetaFile(int i) const {
    if (i < 0 || i >= LastAvailablePage()) return nullptr;
    return pages_[static_cast<size_t>(i)].get();
}

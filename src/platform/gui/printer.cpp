#include "platform/gui/printer.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/runtime/codepage.h"
#include "platform/runtime/files.h"

TPrinterCanvas::TPrinterCanvas(TPrinter* owner, bool toolsNeedJob) : owner_(owner) {
    SetFontResolution(owner->DeviceCaps().LogPixelsY);
    Font().SetSize(8);
    if (!toolsNeedJob) return;
    // From here on a tool changed outside a job is the caller's mistake.
    for (TGraphicsObject* tool : {static_cast<TGraphicsObject*>(&Font()), static_cast<TGraphicsObject*>(&Pen()),
                                  static_cast<TGraphicsObject*>(&Brush())}) {
        tool->OnChange = [this, inner = std::move(tool->OnChange)](TGraphicsObject* o) {
            if (!setUp_ && !owner_->Printing()) throw EPrinter("Printer is not currently printing");
            if (inner) inner(o);
        };
    }
    setUp_ = false;
}

TDeviceCaps TPrinterCanvas::DeviceCaps() const { return owner_->DeviceCaps(); }

void TPrinterCanvas::Lost() {
    PainterLost();
    handed_ = nullptr;
}

void TPrinterCanvas::Resolution(int ppi) {
    setUp_ = true;
    const int size = Font().Size();
    SetFontResolution(ppi);
    Font().SetSize(size);
    setUp_ = false;
}

QPainter* TPrinterCanvas::AcquirePainter(bool& fresh) {
    QPainter* p = owner_->ActivePainter();
    fresh = p && p != handed_;
    handed_ = p;
    return p;
}

struct TPrinter::Impl {
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
    bool dirty = true;
};

namespace {
// Resolution of the PDF output: a common laser printer's.
constexpr int kPdfResolution = 600;

QString ToQString(const std::string& cp1252) {
    std::u16string w = Cp1252ToUtf16(cp1252);
    return QString::fromUtf16(w.data(), static_cast<qsizetype>(w.size()));
}
}  // namespace

TPrinter::TPrinter() : d_(std::make_unique<Impl>()) {}

TPrinter::~TPrinter() {
    if (printing_) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

std::vector<std::string> TPrinter::Printers() const {
    std::vector<std::string> out;
    for (const QString& n : QPrinterInfo::availablePrinterNames()) {
        std::u16string w(reinterpret_cast<const char16_t*>(n.utf16()), static_cast<size_t>(n.size()));
        out.push_back(Utf16ToCp1252(w));
    }
    return out;
}

void TPrinter::SetPrinterIndex(int index) {
    if (printing_) throw EPrinter("Printing in progress");
    int count = static_cast<int>(Printers().size());
    if (index < -1 || index >= count) throw EPrinter("Printer index out of range");
    index_ = index;
    d_->dirty = true;
}

std::string TPrinter::PrinterName() const {
    const std::vector<std::string> names = Printers();
    return index_ >= 0 && index_ < static_cast<int>(names.size()) ? names[static_cast<size_t>(index_)] : "";
}

bool TPrinter::PrintsToFile() const {
    if (!fileName_.empty()) return true;
    if (index_ >= 0) return false;
    return QPrinterInfo::defaultPrinter().isNull();
}

void TPrinter::SetOutputFileName(const std::string& fileName) {
    if (printing_) throw EPrinter("Printing in progress");
    fileName_ = fileName;
    d_->dirty = true;
}

void TPrinter::SetOrientation(TPrinterOrientation o) {
    if (printing_) throw EPrinter("Printing in progress");
    orientation_ = o;
    d_->dirty = true;
}

void TPrinter::SetCopies(int copies) {
    if (printing_) throw EPrinter("Printing in progress");
    copies_ = std::max(1, copies);
    d_->dirty = true;
}

void TPrinter::SetPaperSize(double widthMm, double heightMm) {
    if (printing_) throw EPrinter("Printing in progress");
    if (widthMm <= 0 || heightMm <= 0) return;
    paperW_ = widthMm;
    paperH_ = heightMm;
    d_->dirty = true;
}

void TPrinter::Configure() const {
    if (!d_->dirty && d_->printer) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    bool toFile = PrintsToFile();
    if (toFile) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setResolution(kPdfResolution);
        if (!fileName_.empty()) printer->setOutputFileName(ToQString(fileName_));
    } else {
        QPrinterInfo info = index_ >= 0 ? QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().value(index_))
                                        : QPrinterInfo::defaultPrinter();
        printer->setPrinterName(info.printerName());
    }
    QPageSize size(QSizeF(paperW_, paperH_), QPageSize::Millimeter);
    QPageLayout layout(size,
                       orientation_ == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    if (!toFile) layout.setMargins(layout.minimumMargins());
    printer->setPageLayout(layout);
    printer->setFullPage(false);
    printer->setCopyCount(copies_);
    printer->setDocName(ToQString(title_));
    d_->printer = std::move(printer);
    d_->dirty = false;
    if (canvas_) canvas_->Resolution(d_->printer->resolution());
}

TDeviceCaps TPrinter::DeviceCaps() const {
    Configure();
    QPrinter& pr = *d_->printer;
    int res = pr.resolution();
    QPageLayout layout = pr.pageLayout();
    QRect full = layout.fullRectPixels(res);
    QRect paint = layout.paintRectPixels(res);
    TDeviceCaps c;
    c.Technology = DT_RASPRINTER;
    c.LogPixelsX = c.LogPixelsY = res;
    c.PhysicalWidth = full.width();
    c.PhysicalHeight = full.height();
    c.HorzRes = paint.width();
    c.VertRes = paint.height();
    c.PhysicalOffsetX = paint.left() - full.left();
    c.PhysicalOffsetY = paint.top() - full.top();
    c.BitsPixel = 24;
    return c;
}

int TPrinter::PageWidth() const { return DeviceCaps().HorzRes; }
int TPrinter::PageHeight() const { return DeviceCaps().VertRes; }

TPrinterCanvas& TPrinter::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(this);
    return *canvas_;
}

QPainter* TPrinter::ActivePainter() { return printing_ && d_->painter ? d_->painter.get() : nullptr; }

void TPrinter::BeginDoc() {
    if (printing_) throw EPrinter("Printing in progress");
    if (PrintsToFile() && fileName_.empty()) throw EPrinter("Printer selected is not valid");
    d_->dirty = true;
    Configure();
    Canvas();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(d_->printer.get())) throw EPrinter("Printer selected is not valid");
    d_->painter = std::move(painter);
    printing_ = true;
    aborted_ = false;
    page_ = 1;
}

void TPrinter::NewPage() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    if (AbortProc && !AbortProc()) {
        Abort();
        return;
    }
    d_->printer->newPage();
    ++page_;
}

void TPrinter::EndDoc() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    if (AbortProc && !AbortProc()) {
        Abort();
        return;
    }
    canvas_->Lost();
    d_->painter->end();
    d_->painter.reset();
    printing_ = false;
}

void TPrinter::Abort() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    canvas_->Lost();
    d_->printer->abort();
    if (d_->painter->isActive()) d_->painter->end();
    d_->painter.reset();
    // An aborted PDF is not left behind half written.
    if (PrintsToFile() && !fileName_.empty()) DeleteFile(fileName_);
    printing_ = false;
    aborted_ = true;
}

TPrinter& Printer() {
    // Never destroyed: its Qt printer must not outlive the application object.
    static auto* printer = new TPrinter;
    return *printer;
}

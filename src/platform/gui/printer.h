#pragma once
// The printer: the system's printers when there are any, otherwise a PDF file.
// Its canvas works in printer pixels; fonts sized in points map through the
// printer's resolution.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/canvas.h"
#include "platform/runtime/errors.h"

// "Printer selected is not valid", "Printing in progress", "Printer is not
// currently printing".
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum class TPrinterOrientation : uint8_t { poPortrait, poLandscape };

class TPrinter;

// A canvas on the printer, in printer pixels. One made with toolsNeedJob
// raises "Printer is not currently printing" when its pen, font or brush is
// changed outside a job (the printer's own canvas also measures before one).
class TPrinterCanvas : public TCanvas {
public:
    explicit TPrinterCanvas(TPrinter* owner, bool toolsNeedJob = false);
    TPrinter* Owner() const { return owner_; }
    TDeviceCaps DeviceCaps() const override;
    // Called before the job's painter ends.
    void Lost();
    // A new resolution keeps the font's size in points.
    void Resolution(int ppi);

protected:
    QPainter* AcquirePainter(bool& fresh) override;

private:
    TPrinter* owner_;
    QPainter* handed_ = nullptr;
    bool setUp_ = true;  // the printer's own settings, not a caller's change
};

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Names of the system's printers (may be empty).
    std::vector<std::string> Printers() const;
    // -1 is the system's default printer, or the PDF file when there is none.
    int PrinterIndex() const { return index_; }
    void SetPrinterIndex(int index);
    // True when the job goes to the PDF file rather than to a printer.
    bool PrintsToFile() const;
    // The PDF file written when no printer is chosen. Setting it sends the job to
    // the file even when printers exist.
    const std::string& OutputFileName() const { return fileName_; }
    void SetOutputFileName(const std::string& fileName);

    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation o);
    int Copies() const { return copies_; }
    void SetCopies(int copies);
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // Paper in millimetres (A4 unless set).
    void SetPaperSize(double widthMm, double heightMm);
    double PaperWidthMm() const { return paperW_; }
    double PaperHeightMm() const { return paperH_; }
    // The chosen printer's name ("" for the system's default one).
    std::string PrinterName() const;

    // The printable area in printer pixels (HORZRES, VERTRES).
    int PageWidth() const;
    int PageHeight() const;
    TDeviceCaps DeviceCaps() const;

    TPrinterCanvas& Canvas();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return page_; }

    // Asked at every new page and at the end; returning false aborts the job.
    std::function<bool()> AbortProc;

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();

private:
    friend class TPrinterCanvas;
    void Configure() const;
    QPainter* ActivePainter();

    struct Impl;
    std::unique_ptr<Impl> d_;
    int index_ = -1;
    std::string fileName_;
    std::string title_;
    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    int copies_ = 1;
    double paperW_ = 210, paperH_ = 297;
    bool printing_ = false, aborted_ = false;
    int page_ = 0;
    std::unique_ptr<TPrinterCanvas> canvas_;
};

// The program's printer.
TPrinter& Printer();

#pragma once
// The viewer's own print object over the program's printer: one document at a
// time, its pages counted, an abort that keeps the half-made job from being
// finished, and an abort procedure that lets the status dialog's Cancel be seen.
#include <memory>
#include <string>

#include "platform/gui/printer.h"

// The printer's settings as the job began, kept while it runs.
struct TDeviceMode {
    std::string Device;  // the printer's name, or the PDF file's
    double PaperWidthMm = 0, PaperHeightMm = 0;
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
    int Copies = 1;
};

class TvwPrinter {
public:
    TvwPrinter() = default;
    ~TvwPrinter();
    TvwPrinter(const TvwPrinter&) = delete;
    TvwPrinter& operator=(const TvwPrinter&) = delete;

    // Its own canvas on the printer (printer pixels until a mapping is set),
    // made on first use; asking for it opens an information context unless
    // a job's context is open. Its tools change only during a job.
    TPrinterCanvas& Canvas();
    // 0 no context, 1 an information context, 2 a job's device context
    // (which stays once a job began).
    int State() const { return state_; }
    // The settings copied when the job began; null outside a job.
    const TDeviceMode* DeviceMode() const { return devMode_.get(); }
    std::string Title;
    int PageNumber() const { return pageNumber_; }
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }

    // "Printing in progress" when a job is open; the title is cut to 31 characters.
    void BeginDoc();
    // The next page; "Printer is not currently printing" outside a job.
    void NewPage();
    // Finishes the job (an aborted one is only closed).
    void EndDoc();
    // Drops the job: nothing of it is printed (a PDF is not left behind).
    void Abort();

    // The printable area in printer pixels.
    int PageWidth() const;
    int PageHeight() const;
    TDeviceCaps DeviceCaps() const;

private:
    void RequirePrinting() const;
    void InformationContext() const {
        if (state_ == 0) state_ = 1;
    }
    void EndJob();
    mutable int state_ = 0;
    std::unique_ptr<TDeviceMode> devMode_;
    std::unique_ptr<TPrinterCanvas> canvas_;
    int pageNumber_ = 0;
    bool printing_ = false;
    bool aborted_ = false;
};

// The current print object, created on first use.
TvwPrinter* vwPrinter();
// Makes another print object current and returns the old one (the caller
// keeps both; nullptr is allowed and makes the next vwPrinter() create one).
TvwPrinter* SetvwPrinter(TvwPrinter* printer);

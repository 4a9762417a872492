#pragma once
// The viewer's own print object over the program's printer: one document at a
// time, its pages counted, an abort that keeps the half-made job from being
// finished, and an abort procedure that lets the status dialog's Cancel be seen.
#include <string>

#include "platform/gui/printer.h"

class TvwPrinter {
public:
    TvwPrinter() = default;
    ~TvwPrinter();
    TvwPrinter(const TvwPrinter&) = delete;
    TvwPrinter& operator=(const TvwPrinter&) = delete;

    // The printer's canvas (printer pixels until a mapping is set).
    TCanvas& Canvas();
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
    int pageNumber_ = 0;
    bool printing_ = false;
    bool aborted_ = false;
};

// The current print object, created on first use.
TvwPrinter* vwPrinter();
// Makes another print object current and returns the old one (the caller
// keeps both; nullptr is allowed and makes the next vwPrinter() create one).
TvwPrinter* SetvwPrinter(TvwPrinter* printer);

#pragma once
// Metafiles: drawings recorded once against a reference device (the printer, or
// the screen) and played back into any rectangle of any canvas, scaled. The print
// preview records its pages this way.
#include <cstddef>
#include <memory>

#include "platform/gui/canvas.h"

class QPicture;

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;
    TMetafile(const TMetafile&) = delete;
    TMetafile& operator=(const TMetafile&) = delete;

    // The frame in reference-device pixels: what Draw at (x, y) covers.
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetSize(int width, int height);
    bool Empty() const override;
    int ReferenceDpiX() const { return dpiX_; }
    int ReferenceDpiY() const { return dpiY_; }
    void Clear();

    // Plays the drawing with its frame mapped onto the rectangle.
    void Draw(TCanvas& canvas, const TRect& rect) const override;

private:
    friend class TMetafileCanvas;
    std::unique_ptr<QPicture> picture_;
    int width_ = 0, height_ = 0;
    int dpiX_ = LogicalPixelsPerInch, dpiY_ = LogicalPixelsPerInch;
    bool recording_ = false;
};

// A recording stops at this size: what is drawn after is dropped, so that a
// page of a hostile document is cut rather than grow its recording past what
// the recording can hold (2 GB) and what memory can hold.
constexpr size_t kMaxMetafileBytes = size_t{64} << 20;

class TMetafileCanvas : public TCanvas {
public:
    // Records into the metafile (replacing what it held). The reference canvas
    // (null: the screen) gives the resolution, the frame (its paper size) and
    // the answers of GetDeviceCaps; fonts sized in points map through its
    // resolution.
    TMetafileCanvas(TMetafile& metafile, const TCanvas* reference);
    // The same with an explicit frame in reference pixels (for drawings made in
    // another device's coordinates, such as printer pages recorded on the screen).
    TMetafileCanvas(TMetafile& metafile, const TCanvas* reference, int frameWidth, int frameHeight);
    ~TMetafileCanvas() override;
    // Ends the recording; later drawing is ignored. The destructor closes too.
    void Close();
    // Whether the recording reached kMaxMetafileBytes and was ended there.
    bool Cut() const { return cut_; }
    TDeviceCaps DeviceCaps() const override { return caps_; }

protected:
    QPainter* AcquirePainter(bool& fresh) override;

private:
    TMetafile& metafile_;
    TDeviceCaps caps_;
    std::unique_ptr<QPicture> recording_;
    std::unique_ptr<QPainter> painter_;
    bool handedOut_ = false;
    bool cut_ = false;
};

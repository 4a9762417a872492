#include "html/images/gif_image.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "html/images/gif_decoder.h"
#include "html/images/image_loading.h"
#include "platform/gui/controls.h"

namespace {

std::function<uint32_t()>& Clock() {
    static std::function<uint32_t()> clock;
    return clock;
}

// A copy of the `width` columns from `left` on of a bitmap, in its own pixel
// format: one cell of a strip of frames.
std::unique_ptr<TBitmap> Columns(const TBitmap& src, int left, int width) {
    const TPixelFormat f = src.PixelFormat();
    auto out = std::make_unique<TBitmap>(width, src.Height(), f);
    if (f == TPixelFormat::pf1bit) {
        out->SetPalette(src.Palette());
        const size_t bytes = (static_cast<size_t>(width) + 7) / 8;
        for (int y = 0; y < src.Height(); ++y) {
            const uint8_t* from = src.ScanLine(y);
            uint8_t* to = out->ScanLine(y);
            std::memset(to, 0, bytes);
            // Bits past the cell's edge belong to the next frame.
            for (int x = 0; x < width; ++x)
                if (from[(left + x) / 8] & (0x80 >> ((left + x) % 8))) to[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    } else if (f == TPixelFormat::pf24bit || f == TPixelFormat::pf32bit) {
        out->SetPalette(src.Palette());
        const size_t bpp = f == TPixelFormat::pf24bit ? 3 : 4;
        for (int y = 0; y < src.Height(); ++y)
            std::memcpy(out->ScanLine(y), src.ScanLine(y) + bpp * static_cast<size_t>(left), bpp * static_cast<size_t>(width));
    } else {
        auto& self = const_cast<TBitmap&>(src);
        out->Canvas().CopyRect(TRect{0, 0, width, src.Height()}, self.Canvas(),
                               TRect{left, 0, left + width, src.Height()});
    }
    return out;
}

}  // namespace

uint32_t timeGetTime() {
    if (Clock()) return Clock()();
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SetAnimationClock(std::function<uint32_t()> clock) { Clock() = std::move(clock); }

// ---- ThtBitmap ----

void ThtBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    StretchDraw(canvas, rect, TRect{0, 0, Width(), Height()});
}

void ThtBitmap::StretchDraw(TCanvas& canvas, const TRect& dest, const TRect& src) const {
    if (Empty()) return;
    const int deviceBits = canvas.GetDeviceCaps(BITSPIXEL) * canvas.GetDeviceCaps(PLANES);
    // The strip holds 24-bit colours in 32-bit pixels.
    const bool deep = PixelFormat() == TPixelFormat::pf15bit || PixelFormat() == TPixelFormat::pf16bit ||
                      PixelFormat() == TPixelFormat::pf24bit || PixelFormat() == TPixelFormat::pf32bit;
    if (deviceBits < 9 && deep)
        canvas.SetStretchBltMode(HALFTONE);
    else if (!Monochrome())
        canvas.SetStretchBltMode(COLORONCOLOR);
    if (mask_) {
        canvas.DrawMasked(dest, *this, src, *mask_);
    } else {
        auto& self = const_cast<ThtBitmap&>(*this);
        canvas.StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), &self.Canvas(), src.Left, src.Top,
                          src.Width(), src.Height(), canvas.CopyMode());
    }
}

// ---- TGIFImage ----

std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& NonAnimated, TStream& Stream) {
    NonAnimated = true;
    TGif gif;
    gif.ReadBlocks(Stream);
    NonAnimated = gif.ImageCount() < 2;
    return TGIFImage::Build(gif);
}

std::unique_ptr<TGIFImage> TGIFImage::Build(const TGif& gif) {
    std::unique_ptr<TGIFImage> result(new TGIFImage());
    TGIFImage& g = *result;
    const int count = gif.ImageCount();
    g.isAnimated_ = count >= 2;
    g.width_ = gif.ScreenDescriptor().Width;
    g.height_ = gif.ScreenDescriptor().Height;
    const int loops = gif.LoopCount();
    g.numIterations_ = loops < 0 ? 1 : loops > 0 ? loops + 1 : 0;
    g.isTransparent_ = gif.IsTransparent();

    // The frames are decoded straight into the strip: no other copy of it is made.
    int width = 0, height = 0;
    gif.GetStripSize(width, height);
    g.strip_ = std::make_shared<ThtBitmap>(width, height);
    std::unique_ptr<TBitmap> mask;
    if (g.isTransparent_) mask = std::make_unique<TBitmap>(width, height, TPixelFormat::pf1bit);
    gif.DrawStrip(*g.strip_, mask.get());
    if (mask) g.strip_->SetMask(std::move(mask));

    for (int i = 0; i < count; ++i) {
        TgfFrame f;
        f.frDisposalMethod = static_cast<uint8_t>(gif.GetImageDisposal(i));
        f.frLeft = gif.GetImageLeft(i);
        f.frTop = gif.GetImageTop(i);
        f.frWidth = gif.GetImageWidth(i);
        f.frHeight = gif.GetImageHeight(i);
        f.frDelay = std::max(30, gif.GetImageDelay(i) * 10);
        g.frames_.push_back(f);
    }
    if (g.isAnimated_) g.frameState_ = 2;
    return result;
}

std::unique_ptr<TGIFImage> CreateAGif(const std::string& Name, bool& NonAnimated) {
    TMemoryStream stream;
    stream.LoadFromFile(Name);
    return CreateAGifFromStream(NonAnimated, stream);
}

std::unique_ptr<TGraphic> LoadGifPicture(TStream& Stream, std::unique_ptr<TBitmap>& AMask, Transparency& Transparent) {
    AMask.reset();
    TGif gif;
    gif.ReadBlocks(Stream);
    if (gif.ImageCount() > 1) return TGIFImage::Build(gif);
    // One frame: its cell is the whole strip, drawn into a plain bitmap.
    int width = 0, height = 0;
    gif.GetStripSize(width, height);
    auto bitmap = std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
    std::unique_ptr<TBitmap> mask;
    if (gif.IsTransparent()) mask = std::make_unique<TBitmap>(width, height, TPixelFormat::pf1bit);
    gif.DrawStrip(*bitmap, mask.get());
    if (mask) {
        AMask = std::move(mask);
        Transparent = TrGif;
    } else if (Transparent == LLCorner) {
        AMask = GetImageMask(*bitmap, false, 0);
    }
    return bitmap;
}

TGIFImage::TGIFImage(const TGIFImage& source)
    : TGraphic(),
      strip_(source.strip_),
      frames_(source.frames_),
      width_(source.width_),
      height_(source.height_),
      isAnimated_(source.isAnimated_),
      isTransparent_(source.isTransparent_),
      isCopy_(true),
      numIterations_(source.numIterations_),
      visible_(source.visible_) {
    for (TgfFrame& f : frames_) f.IsCopy = 1;
    if (isAnimated_) frameState_ = 2;
}

TGIFImage::~TGIFImage() = default;

void TGIFImage::SetAnimate(bool animate) {
    if (animate == animate_) return;
    animate_ = animate;
    if (animate_ && NumFrames() > 1) {
        currentInterval_ = static_cast<uint32_t>(std::max(Frame(currentFrame_).frDelay, 1));
        lastTime_ = timeGetTime();
    }
}

void TGIFImage::SetCurrentFrame(int frame) {
    if (frame == currentFrame_ || NumFrames() == 0) return;
    frameState_ = Frame(currentFrame_).frDisposalMethod;
    if (frame > NumFrames())
        frame = 1;
    else if (frame < 1)
        frame = NumFrames();
    currentFrame_ = frame;
    if (isAnimated_) frameState_ = 2;
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) const {
    const_cast<TGIFImage*>(this)->Draw(canvas, rect.Left, rect.Top, rect.Width(), rect.Height());
}

void TGIFImage::Draw(TCanvas& canvas, int X, int Y, int Wid, int Ht) {
    drawRect_ = TRect{X, Y, X + Wid, Y + Ht};
    canvas.SetStretchBltMode(COLORONCOLOR);
    if (!visible_ || frames_.empty() || !strip_) return;
    shown_ = true;
    const TRect src{(currentFrame_ - 1) * width_, 0, currentFrame_ * width_, height_};
    const uint32_t mode = canvas.CopyMode();
    canvas.SetCopyMode(SRCCOPY);
    strip_->StretchDraw(canvas, drawRect_, src);
    canvas.SetCopyMode(mode);
}

void TGIFImage::CheckTime(const std::function<void(const TRect&)>& invalidate) {
    if (!animate_ || frames_.empty()) return;
    const uint32_t now = timeGetTime();
    if (now - lastTime_ < currentInterval_) return;
    lastTime_ = now;
    if (currentFrame_ == NumFrames()) {
        if (numIterations_ >= 1 && currentIteration_ >= numIterations_) {
            animate_ = false;
            return;
        }
        ++currentIteration_;
    }
    frameState_ = Frame(currentFrame_).frDisposalMethod;
    ++currentFrame_;
    if (currentFrame_ > NumFrames() || currentFrame_ <= 0) currentFrame_ = 1;
    if (invalidate) invalidate(drawRect_);
    currentInterval_ = static_cast<uint32_t>(std::max(Frame(currentFrame_).frDelay, 1));
}

void TGIFImage::CheckTime(TControl* WinControl) {
    // Controls repaint whole; the rectangle is what a finer repaint would use.
    CheckTime([WinControl](const TRect&) {
        if (WinControl) WinControl->Invalidate();
    });
}

TBitmap* TGIFImage::Bitmap() {
    if (!firstFrame_ && strip_ && width_ > 0) {
        firstFrame_ = Columns(*strip_, 0, std::min(width_, strip_->Width()));
        if (strip_->htMask()) firstMask_ = Columns(*strip_->htMask(), 0, std::min(width_, strip_->Width()));
    }
    return firstFrame_.get();
}

TBitmap* TGIFImage::FrameBitmap(TBitmap*& mask) {
    mask = nullptr;
    if (currentFrame_ <= 1 || !strip_ || width_ <= 0) {
        TBitmap* first = Bitmap();
        mask = GetMaskBitmap();
        return first;
    }
    const int left = (currentFrame_ - 1) * width_;
    if (left + width_ > strip_->Width()) return nullptr;
    if (cutFrame_ != currentFrame_) {
        cut_ = Columns(*strip_, left, width_);
        cutMask_ = isTransparent_ && strip_->htMask() ? Columns(*strip_->htMask(), left, width_) : nullptr;
        cutFrame_ = currentFrame_;
    }
    mask = cutMask_.get();
    return cut_.get();
}

int64_t TGIFImage::FirstFrameBytes() const {
    int64_t bytes = 0;
    for (const TBitmap* b : {firstFrame_.get(), firstMask_.get()})
        if (b) bytes += PictureBytes(b);
    return bytes;
}

TBitmap* TGIFImage::GetMaskBitmap() {
    if (!isTransparent_) return nullptr;
    Bitmap();
    return firstMask_.get();
}

#pragma once
// The picture object the image cache keeps for a GIF: every frame composed into
// one strip bitmap (frames side by side, with a mask when transparent), the
// frame list with positions, delays and disposal, and the animation clock that
// the document's drawing ticks.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/images/image_cache.h"
#include "html/images/streams.h"
#include "platform/gui/bitmap.h"

class TControl;
class TGif;

// Milliseconds of the animation clock (wraps at 2^32 like the system's).
uint32_t timeGetTime();
// Replaces the animation clock (tests drive it by hand); an empty function
// restores the system's.
void SetAnimationClock(std::function<uint32_t()> clock);

// A bitmap that carries its own mask (monochrome, white = transparent).
class ThtBitmap : public TBitmap {
public:
    ThtBitmap() = default;
    // A 32-bit bitmap of the size, black.
    ThtBitmap(int width, int height) : TBitmap(width, height, TPixelFormat::pf32bit) {}
    const TBitmap* htMask() const { return mask_.get(); }
    bool HasMask() const { return mask_ != nullptr; }
    void SetMask(std::unique_ptr<TBitmap> mask) { mask_ = std::move(mask); }
    // The whole bitmap stretched into the rectangle, through the mask when it has one.
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // Part `src` of the bitmap stretched into `dest`.
    void StretchDraw(TCanvas& canvas, const TRect& dest, const TRect& src) const;

private:
    std::unique_ptr<TBitmap> mask_;
};

struct TgfFrame {
    int frLeft = 0, frTop = 0, frWidth = 0, frHeight = 0;
    int frDelay = 0;  // milliseconds
    uint8_t frDisposalMethod = 0;
    uint8_t IsCopy = 0;
};
using TgfFrameList = std::vector<TgfFrame>;

class TGIFImage : public TGraphic {
public:
    // A copy that shares the source's strip (frames, size and counters copied;
    // back at frame 1 and iteration 1).
    explicit TGIFImage(const TGIFImage& source);
    ~TGIFImage() override;
    TGIFImage& operator=(const TGIFImage&) = delete;
    std::unique_ptr<TGIFImage> CreateCopy() const { return std::make_unique<TGIFImage>(*this); }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The current frame stretched into the rectangle.
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    void Draw(TCanvas& canvas, int X, int Y, int Wid, int Ht);

    bool IsAnimated() const { return isAnimated_; }
    bool IsTransparent() const { return isTransparent_; }
    bool IsCopy() const { return isCopy_; }
    int NumFrames() const { return static_cast<int>(frames_.size()); }
    // Plays of the animation before it stops on the last frame; 0 for ever.
    int NumIterations() const { return numIterations_; }
    int CurrentIteration() const { return currentIteration_; }
    int CurrentFrame() const { return currentFrame_; }
    // Values above NumFrames select frame 1, below 1 the last frame.
    void SetCurrentFrame(int frame);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    // Whether the picture was drawn in the document's last paint: the
    // animation runs only for pictures in view.
    bool Shown() const { return shown_; }
    void SetShown(bool shown) { shown_ = shown; }
    bool Animate() const { return animate_; }
    void SetAnimate(bool animate);
    uint32_t LastTime() const { return lastTime_; }
    uint32_t CurrentInterval() const { return currentInterval_; }
    // 2 after a frame change of an animated image, otherwise the disposal of the
    // frame left: whether what lies under the picture needs painting again.
    int FrameState() const { return frameState_; }
    // The rectangle the image was last drawn into.
    const TRect& DrawRect() const { return drawRect_; }
    // Frame i, 1-based.
    const TgfFrame& Frame(int i) const { return frames_.at(static_cast<size_t>(i - 1)); }

    // Advances the animation when its interval has passed; `invalidate` is
    // given the last drawing rectangle to repaint.
    void CheckTime(const std::function<void(const TRect&)>& invalidate);
    // The same, repainting the control the picture is shown in.
    void CheckTime(TControl* WinControl);

    // The first frame, made once (owned by the image).
    TBitmap* Bitmap();
    TBitmap* GetBitmap() { return Bitmap(); }
    // Its mask; null unless the image is transparent.
    TBitmap* GetMaskBitmap();
    // The current frame as a plain bitmap (kept until another frame is
    // asked for) and its mask, null unless transparent; for printing.
    TBitmap* FrameBitmap(TBitmap*& mask);
    const ThtBitmap& Strip() const { return *strip_; }
    // Bytes of the first frame and its mask once made.
    int64_t FirstFrameBytes() const;

private:
    friend std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& NonAnimated, TStream& Stream);
    friend std::unique_ptr<TGraphic> LoadGifPicture(TStream&, std::unique_ptr<TBitmap>&, Transparency&);
    TGIFImage() = default;
    // The picture of a decoder that has read its blocks.
    static std::unique_ptr<TGIFImage> Build(const TGif& gif);

    std::shared_ptr<ThtBitmap> strip_;
    TgfFrameList frames_;
    int width_ = 0, height_ = 0;
    bool isAnimated_ = false, isTransparent_ = false, isCopy_ = false;
    int numIterations_ = 1, currentIteration_ = 1, currentFrame_ = 1;
    bool visible_ = true, animate_ = false, shown_ = false;
    uint32_t lastTime_ = 0, currentInterval_ = 0;
    int frameState_ = 0;
    TRect drawRect_;
    std::unique_ptr<TBitmap> firstFrame_, firstMask_;
    std::unique_ptr<TBitmap> cut_, cutMask_;
    int cutFrame_ = 0;
};

// Decodes a GIF; NonAnimated tells whether it has a single frame. Raises the
// decoder's EInvalidGraphicOperation.
std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& NonAnimated, TStream& Stream);
// The same from a file (EFOpenError when it cannot be read).
std::unique_ptr<TGIFImage> CreateAGif(const std::string& Name, bool& NonAnimated);
// A GIF as the image cache keeps it: several frames give a TGIFImage; one
// frame a plain bitmap with, when transparent, its mask (Transparent becomes
// TrGif), else with LLCorner a mask of its bottom-left colour. Raises the
// decoder's EInvalidGraphicOperation.
std::unique_ptr<TGraphic> LoadGifPicture(TStream& Stream, std::unique_ptr<TBitmap>& AMask, Transparency& Transparent);

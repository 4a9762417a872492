#include "platform/gui/metafile.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>

TMetafile::TMetafile() : picture_(std::make_unique<QPicture>()) {}
TMetafile::~TMetafile() = default;

void TMetafile::SetSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

bool TMetafile::Empty() const { return width_ <= 0 || height_ <= 0 || picture_->isNull(); }

void TMetafile::Clear() {
    picture_ = std::make_unique<QPicture>();
    width_ = height_ = 0;
}

namespace {
// A picture's resolution is the same for every picture, whatever it holds;
// asking a recorded one checksums all its records each time.
QPoint PictureDpi() {
    const QPicture blank;
    return {blank.logicalDpiX(), blank.logicalDpiY()};
}
}  // namespace

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) const {
    if (Empty() || recording_ || rect.Width() == 0 || rect.Height() == 0) return;
    QPainter* p = canvas.BeginPaint();
    if (!p) return;
    const double sx = double(rect.Width()) / width_, sy = double(rect.Height()) / height_;
    QPaintDevice* dev = p->device();
    const QPoint dpi = PictureDpi();
    // A picture scales its fonts by the ratio of its resolution to the device's;
    // on a device of another resolution it is played through an image of its own.
    if (dev && dev->logicalDpiX() == dpi.x() && dev->logicalDpiY() == dpi.y()) {
        p->save();
        p->translate(rect.Left, rect.Top);
        p->scale(sx, sy);
        picture_->play(p);
        p->restore();
    } else {
        QRectF target = p->transform().mapRect(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()));
        int iw = std::clamp(int(std::lround(target.width())), 1, 8192);
        int ih = std::clamp(int(std::lround(target.height())), 1, 8192);
        QImage img(iw, ih, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        img.setDotsPerMeterX(int(std::lround(dpi.x() / 0.0254)));
        img.setDotsPerMeterY(int(std::lround(dpi.y() / 0.0254)));
        {
            QPainter ip(&img);
            ip.scale(double(iw) / width_, double(ih) / height_);
            picture_->play(&ip);
        }
        p->drawImage(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()), img);
    }
    canvas.EndPaint();
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, const TCanvas* reference)
    : metafile_(metafile), recording_(std::make_unique<QPicture>()) {
    if (reference) {
        caps_ = reference->DeviceCaps();
    } else {
        TCanvas screen;
        caps_ = screen.DeviceCaps();
    }
    caps_.Technology = DT_METAFILE;
    metafile_.picture_ = std::make_unique<QPicture>();
    metafile_.SetSize(std::max(caps_.PhysicalWidth, caps_.HorzRes), std::max(caps_.PhysicalHeight, caps_.VertRes));
    metafile_.dpiX_ = caps_.LogPixelsX;
    metafile_.dpiY_ = caps_.LogPixelsY;
    metafile_.recording_ = true;
    SetFontResolution(caps_.LogPixelsY);
    Font().SetSize(8);
    painter_ = std::make_unique<QPainter>(recording_.get());
}

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, const TCanvas* reference, int frameWidth, int frameHeight)
    : TMetafileCanvas(metafile, reference) {
    if (frameWidth > 0 && frameHeight > 0) metafile_.SetSize(frameWidth, frameHeight);
}

TMetafileCanvas::~TMetafileCanvas() { Close(); }

void TMetafileCanvas::Close() {
    if (!painter_) return;
    PainterLost();
    painter_->end();
    painter_.reset();
    metafile_.picture_ = std::move(recording_);
    metafile_.recording_ = false;
}

QPainter* TMetafileCanvas::AcquirePainter(bool& fresh) {
    // Asked before each drawing call: the call that passes the limit is the
    // last one recorded.
    if (painter_ && recording_->size() >= kMaxMetafileBytes) {
        cut_ = true;
        Close();
    }
    fresh = painter_ && !handedOut_;
    handedOut_ = true;
    return painter_.get();
}

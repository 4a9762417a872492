#include "platform/gui/gdiplus.h"

#include <QImage>
#include <QPainter>

void GdipDrawArgb(TCanvas& canvas, const TRect& dest, const uint32_t* pixels, int width, int height,
                  const TRect& src, bool smooth) {
    if (!pixels || width <= 0 || height <= 0 || dest.Width() == 0 || dest.Height() == 0 || src.Width() <= 0 ||
        src.Height() <= 0)
        return;
    QPainter* p = canvas.BeginPaint();
    if (!p) return;
    const QImage img(reinterpret_cast<const uchar*>(pixels), width, height, width * 4, QImage::Format_ARGB32);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    p->drawImage(QRectF(dest.Left, dest.Top, dest.Width(), dest.Height()), img,
                 QRectF(src.Left, src.Top, src.Width(), src.Height()));
    p->restore();
    canvas.EndPaint();
}

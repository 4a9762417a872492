#pragma once
// Icons in the window system's .ico file format: one or more images, each a
// device-independent bitmap of 1, 4, 8, 24 or 32 bits per pixel followed by
// its 1-bit AND mask (1 = transparent). Reading and writing are our own; the
// grids draw the image with the GUI layer's bitmaps (icon_grid.h).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/runtime/errors.h"

// One image of an icon, rows from the top.
struct TIconImage {
    int Width = 0, Height = 0;
    int BitCount = 32;               // 1, 4, 8, 24 or 32
    std::vector<uint32_t> Palette;   // 0x00RRGGBB, BitCount <= 8
    std::vector<uint8_t> Indexes;    // one palette index per pixel, BitCount <= 8
    std::vector<uint32_t> Colors;    // 0xAARRGGBB per pixel (alpha 255 below 32 bits)
    std::vector<uint8_t> Mask;       // one per pixel: 1 = transparent
    // A 32-bit image whose alpha channel is in use (all zero means it is not,
    // and the mask alone decides).
    bool HasAlpha() const;
};

// Data that is not an icon: "Icon image is not valid".
class EInvalidIcon : public Exception {
public:
    EInvalidIcon() : Exception("Icon image is not valid") {}
};

// Decodes an .ico file; raises EInvalidIcon. Images compressed as PNG are not
// read (an icon made only of them is refused).
std::vector<TIconImage> DecodeIcon(std::string_view bytes);
// Encodes images as an .ico file; an image whose sizes do not agree with its
// bit count raises EInvalidIcon.
std::string EncodeIcon(const std::vector<TIconImage>& images);

class TIcon : public TGraphicsObject {
public:
    TIcon() = default;
    TIcon(const TIcon& other) { Assign(other); }
    TIcon& operator=(const TIcon& other) {
        Assign(other);
        return *this;
    }
    // Copies the icon (OnChange is kept and fired).
    void Assign(const TIcon& other);

    bool Empty() const { return images_.empty(); }
    // The size of the image drawn.
    int Width() const;
    int Height() const;
    const std::vector<TIconImage>& Images() const { return images_; }
    // The image drawn: the one nearest to 32 x 32, then the one with most colours.
    const TIconImage* Image() const;

    // The bytes of an .ico file; no bytes make an empty icon. Bad data raises
    // EInvalidIcon and leaves the icon as it was.
    void LoadFromStream(std::string_view bytes);
    // The bytes it was loaded from, or those of its images.
    const std::string& SaveToStream() const { return data_; }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void SetImages(const std::vector<TIconImage>& images);
    void Clear();

private:
    std::string data_;
    std::vector<TIconImage> images_;
};

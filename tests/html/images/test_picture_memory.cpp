// Huge and hostile pictures in bounded memory: a GIF that declares a huge
// screen is decoded into one copy of its picture, the first frame of an
// animation is decoded without the others, and the picture cache keeps what it
// holds within its budget without ever freeing a picture in use.
#include <gtest/gtest.h>

#include "allocation_probe.h"
#include "html/images/gif_decoder.h"
#include "html/images/gif_image.h"
#include "html/images/gp_image.h"
#include "html/images/image_cache.h"
#include "html/layout/document.h"
#include "html/view/view_env.h"
#include "picture_builders.h"

namespace {

using pics::AllocationProbe;
using pics::GifFrame;

// 35 bytes: a 65535 x 1000 screen around one white pixel.
std::string HugeScreenGif() {
    GifFrame dot;
    dot.width = dot.height = 1;
    dot.pixels = {1};
    return pics::Gif(65535, 1000, {0x000000, 0xFFFFFF}, {dot});
}
constexpr int64_t kHugePicture = int64_t(65535) * 1000 * 4;
// Room for the decoders' own small buffers (and the sanitizer's bookkeeping).
constexpr int64_t kSlack = int64_t(4) << 20;

TEST(PictureMemory, AHugeScreenGifIsDecodedIntoOneCopy) {
    const std::string bytes = HugeScreenGif();
    EXPECT_EQ(bytes.size(), 35u);

    std::unique_ptr<TGraphic> picture;
    std::unique_ptr<TBitmap> mask;
    Transparency t = NotTransp;
    int64_t peak = AllocationProbe::PeakDuring([&] {
        TMemoryStream s(bytes);
        picture = LoadGifPicture(s, mask, t);
    });
    auto* bmp = dynamic_cast<TBitmap*>(picture.get());
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(mask, nullptr);
    EXPECT_EQ(bmp->Width(), 65535);
    EXPECT_EQ(bmp->Height(), 1000);
    EXPECT_EQ(bmp->GetPixel(0, 0), clWhite);
    EXPECT_EQ(bmp->GetPixel(1, 0), clBlack);
    EXPECT_EQ(bmp->GetPixel(65534, 999), clBlack);
    EXPECT_EQ(PictureBytes(picture.get()), kHugePicture);
    if (AllocationProbe::Available()) {
        EXPECT_GE(peak, kHugePicture);  // the probe sees the picture itself
        EXPECT_LT(peak, kHugePicture + kSlack);
    }
    picture.reset();

    // The same as an animated image and as a GDI+ picture.
    peak = AllocationProbe::PeakDuring([&] {
        TMemoryStream s(bytes);
        bool nonAnimated = false;
        auto gif = CreateAGifFromStream(nonAnimated, s);
        EXPECT_EQ(PictureBytes(gif.get()), kHugePicture);
    });
    if (AllocationProbe::Available()) {
        EXPECT_LT(peak, kHugePicture + kSlack);
    }
    peak = AllocationProbe::PeakDuring([&] {
        int w = 0, h = 0;
        std::vector<uint32_t> pixels;
        DecodeArgbPicture(bytes, w, h, pixels);
        EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
        EXPECT_EQ(pixels[1], 0xFF000000u);
    });
    if (AllocationProbe::Available()) {
        EXPECT_LT(peak, kHugePicture + kSlack);
    }
}

// Painting such a picture into a window takes only the part that shows, at
// the same pixels wherever the picture lies.
TEST(PictureMemory, PaintingAHugePictureCopiesOnlyWhatShows) {
    TBitmap huge(65535, 1000);
    huge.Canvas().SetPixel(0, 0, clWhite);
    huge.Canvas().SetPixel(30500, 10, clRed);
    huge.Canvas().SetPixel(65534, 999, clBlue);
    TBitmap window(1000, 700);
    for (int left : {0, -30000, 1000 - 65535}) {
        window.Canvas().FillRect(TRect{0, 0, 1000, 700}, clLime);
        const int64_t peak = AllocationProbe::PeakDuring([&] { huge.Draw(window.Canvas(), TRect{left, 0, left + 65535, 1000}); });
        if (AllocationProbe::Available()) {
            EXPECT_LT(peak, kSlack) << left;
        }
        for (auto [sx, sy] : {std::pair{0, 0}, {30500, 10}, {65534, 999}, {30501, 10}}) {
            const int dx = sx + left;
            if (dx < 0 || dx >= 1000 || sy >= 700) continue;
            EXPECT_EQ(window.GetPixel(dx, sy), huge.GetPixel(sx, sy)) << left << " " << sx;
        }
        EXPECT_EQ(window.GetPixel(999, 699), huge.GetPixel(999 - left, 699)) << "covered to the corner";
    }
}

TEST(PictureMemory, TheFirstFrameOfAnAnimationIsDecodedAlone) {
    // Three transparent frames: the first covers the left half with red over
    // a transparent column, the others paint elsewhere.
    const int w = 2000, h = 1000;
    GifFrame a;
    a.width = w / 2;
    a.height = h;
    a.transparent = 0;
    a.delay = 10;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) a.pixels.push_back(x == 3 ? 0 : 1);
    GifFrame b = a;
    b.left = w / 2;
    b.pixels.assign(b.pixels.size(), 2);
    GifFrame c = b;
    c.pixels.assign(c.pixels.size(), 3);
    const std::string bytes = pics::Gif(w, h, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {a, b, c}, 0);

    int pw = 0, ph = 0;
    std::vector<uint32_t> pixels;
    const int64_t onePicture = int64_t(w) * h * 4;
    const int64_t peak = AllocationProbe::PeakDuring([&] { DecodeArgbPicture(bytes, pw, ph, pixels); });
    if (AllocationProbe::Available()) {
        EXPECT_LT(peak, onePicture + kSlack);
    }
    ASSERT_EQ(pw, w);
    ASSERT_EQ(ph, h);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[3], 0u);                       // transparent in the frame
    EXPECT_EQ(pixels[w / 2 + 5], 0u);               // no frame there yet
    EXPECT_EQ(pixels[size_t(h - 1) * w], 0xFFFF0000u);

    // The same pixels as the strip's first cell through its mask.
    TGif gif;
    TMemoryStream s(bytes);
    gif.LoadFromStream(s);
    std::unique_ptr<TBitmap> mask;
    auto strip = gif.GetStripBitmap(mask);
    ASSERT_NE(mask, nullptr);
    for (int y = 0; y < h; y += 97)
        for (int x = 0; x < w; x += 13) {
            const uint32_t want = mask->GetPixel(x, y) == clWhite
                                      ? 0u
                                      : 0xFF000000u | (uint32_t(GetRValue(strip->GetPixel(x, y))) << 16) |
                                            (uint32_t(GetGValue(strip->GetPixel(x, y))) << 8) |
                                            GetBValue(strip->GetPixel(x, y));
            ASSERT_EQ(pixels[size_t(y) * w + x], want) << x << "," << y;
        }
}

// ---- the cache's budget ----

std::unique_ptr<TBitmapItem> Item(int w, int h, TPixelFormat f = TPixelFormat::pfDevice) {
    return std::make_unique<TBitmapItem>(std::make_unique<TBitmap>(w, h, f), nullptr, NotTransp);
}

TEST(PictureCacheBudget, PicturesAreCountedAsTheyAreHeld) {
    TBitmap device(10, 10), rows(10, 10, TPixelFormat::pf24bit), mask(10, 10, TPixelFormat::pf1bit);
    EXPECT_EQ(PictureBytes(&device), 400);
    EXPECT_EQ(PictureBytes(&rows), 400 + 32 * 10);  // the rows beside the surface
    EXPECT_EQ(PictureBytes(&device, &mask), 400 + 400 + 4 * 10);
    TGpBitmap argb(10, 10);
    EXPECT_EQ(PictureBytes(&argb), 400);

    TStringBitmapList cache;
    EXPECT_EQ(cache.MaxBytes, int64_t(256) << 20);
    cache.AddObject("A", Item(10, 10));
    cache.AddObject("B", Item(10, 10, TPixelFormat::pf24bit));
    EXPECT_EQ(cache.Bytes(), 400 + 720);
    // The total is kept as pictures come and go; a mask given later counts
    // once the entry is measured again.
    auto second = Item(10, 10);
    const TBitmapItem* added = second.get();
    const int index = cache.AddObject("A", std::move(second));
    EXPECT_EQ(cache.Objects(index), added);  // the newest entry of a key comes first
    EXPECT_EQ(cache.Bytes(), 400 + 720 + 400);
    cache.Objects(index)->Mask = std::make_unique<TBitmap>(10, 10, TPixelFormat::pf1bit);
    cache.Remeasure(index);
    EXPECT_EQ(cache.Bytes(), 400 + 720 + 400 + 440);
    cache.Clear();
    EXPECT_EQ(cache.Bytes(), 0);
}

TEST(PictureCacheBudget, TheOldestUnusedPicturesMakeRoomAndPicturesInUseStay) {
    TStringBitmapList cache;
    cache.MaxBytes = 4000;  // ten 10 x 10 pictures
    cache.AddObject("OLD", Item(10, 10));
    cache.AddObject("USED", Item(10, 10));
    cache.BumpAndCheck();
    cache.AddObject("NEWER", Item(10, 10));
    cache.DecUsage("OLD");
    cache.DecUsage("NEWER");
    // A picture of eight more: only OLD, the oldest unused, has to go.
    EXPECT_TRUE(cache.MakeRoom(3200));
    EXPECT_EQ(cache.IndexOf("OLD"), -1);
    EXPECT_GE(cache.IndexOf("NEWER"), 0);
    // Adding beyond the budget frees the unused rest as well.
    cache.AddObject("BIG", Item(30, 30));
    EXPECT_EQ(cache.IndexOf("NEWER"), -1);
    EXPECT_GE(cache.IndexOf("USED"), 0);
    EXPECT_EQ(cache.Bytes(), 400 + 3600);
    // With everything left in use there is no room, and nothing is freed.
    EXPECT_FALSE(cache.MakeRoom(800));
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_TRUE(cache.MakeRoom(0));
}

}  // namespace

namespace velorim_test {
namespace {

TEST_F(ViewerTest, APageOfHugeScreenGifsKeepsTheCacheWithinItsBudget) {
    const std::string gif = HugeScreenGif();
    std::string page = "<html><body>";
    for (int i = 0; i < 8; ++i) {
        Write("huge" + std::to_string(i) + ".gif", gif);
        page += "<img src=\"huge" + std::to_string(i) + ".gif\">";
    }
    const std::string file = Write("page.htm", page + "<p>Texto depois das figuras</p></body></html>");
    const int64_t peak = AllocationProbe::PeakDuring([&] {
        v->LoadFromFile(file);
        Paint();
    });
    const TStringBitmapList* cache = v->SectionList()->BitmapList;
    ASSERT_NE(cache, nullptr);
    // One picture fits the budget; the others are refused, not decoded and kept.
    EXPECT_EQ(cache->Count(), 1);
    EXPECT_LE(cache->Bytes(), cache->MaxBytes);
    EXPECT_GT(v->DocHeight(), 1000);
    // At worst the picture held and one being decoded.
    if (AllocationProbe::Available()) {
        EXPECT_LT(peak, 2 * kHugePicture + (int64_t(64) << 20));
    }
}

}  // namespace
}  // namespace velorim_test

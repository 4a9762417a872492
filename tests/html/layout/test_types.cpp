// Image maps, the selection sinks and the slabs of document objects.
#include <gmock/gmock.h>

#include <cstring>
#include <memory>
#include <vector>

#include "html/layout/layout_types.h"

namespace {

std::unique_ptr<TAttributeList> Area(const std::string& shape, const std::string& coords, const std::string& href) {
    auto list = std::make_unique<TAttributeList>();
    TAttributeList& L = *list;
    auto add = [&](Symb sy, const std::string& v) {
        auto* a = new TAttribute;
        a->Symbol = sy;
        a->TextValue = v;
        L.Add(a);
    };
    add(ShapeSy, shape);
    add(CoordsSy, coords);
    if (!href.empty()) add(HRefSy, href);
    return list;
}

// Objects from the slabs never overlap, may be freed in any order, and the
// slabs go back to the heap once emptied; large objects use the heap.
TEST(DocSlabs, ObjectsKeepTheirRoomAndEmptiedSlabsGoBack) {
    struct Small : TSlabAllocated {
        char bytes[200];
        int tag;
    };
    struct Large : TSlabAllocated {
        char bytes[DocSlabs::kSlabObjectMax + 1];
    };
    const size_t before = DocSlabs::SlabsHeld();
    std::vector<std::unique_ptr<Small>> objs;
    for (int i = 0; i < 2000; ++i) {  // about seven slabs
        objs.push_back(std::make_unique<Small>());
        std::memset(objs.back()->bytes, i & 0xFF, sizeof objs.back()->bytes);
        objs.back()->tag = i;
    }
    EXPECT_GE(DocSlabs::SlabsHeld(), before + 6);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(objs[static_cast<size_t>(i)]->tag, i);
        EXPECT_EQ(objs[static_cast<size_t>(i)]->bytes[199], static_cast<char>(i & 0xFF));
    }
    for (size_t i = 0; i < objs.size(); i += 2) objs[i].reset();
    auto large = std::make_unique<Large>();
    large->bytes[DocSlabs::kSlabObjectMax] = 1;
    large.reset();
    objs.clear();
    // Only the slab still handing out room may stay.
    EXPECT_LE(DocSlabs::SlabsHeld(), before + 1);
    auto again = std::make_unique<Small>();
    again->tag = 7;
    EXPECT_LE(DocSlabs::SlabsHeld(), before + 1);
    // The object made last gives its room back to the next one; the others
    // keep theirs.
    auto last = std::make_unique<Small>();
    void* const lastRoom = last.get();
    last.reset();
    auto next = std::make_unique<Small>();
    EXPECT_EQ(static_cast<void*>(next.get()), lastRoom);
    void* const againRoom = again.get();
    again.reset();  // not the last made: its room stays unused
    auto after = std::make_unique<Small>();
    EXPECT_NE(static_cast<void*>(after.get()), againRoom);
    EXPECT_NE(static_cast<void*>(after.get()), static_cast<void*>(next.get()));
}

TEST(ImageMap, AreasByShapeAndOrder) {
    TMapItem map;
    auto circle2 = Area("circle", "10,10", "c.htm");
    map.AddArea(*circle2);  // a circle needs three numbers
    auto circle = Area("CIRC", "50 50 10", "c.htm");
    map.AddArea(*circle);
    auto dead = Area("rect", "0,0,20,20", "");
    map.AddArea(*dead);
    auto rect = Area("rect", "0, 0, 100, 100", "r.htm");
    map.AddArea(*rect);
    ASSERT_EQ(map.Areas.size(), 3u);
    TUrlTarget url;
    std::string title;
    EXPECT_TRUE(map.GetURL(55, 55, url, title));
    EXPECT_EQ(url.URL, "c.htm");
    EXPECT_FALSE(map.GetURL(5, 5, url, title));  // an area without HREF stops the search
    EXPECT_TRUE(map.GetURL(100, 100, url, title));  // right and bottom belong to a rectangle
    EXPECT_EQ(url.URL, "r.htm");
    EXPECT_FALSE(map.GetURL(101, 50, url, title));
    for (int i = 0; i < 1000; ++i) map.AddArea(*rect);
    EXPECT_EQ(map.Areas.size(), 1000u);
}

// Shapes are tested point by point: a polygon by the winding rule, and a
// circle as large as a page allows costs no more than a small one.
TEST(ImageMap, PolygonsAndHugeCircles) {
    TMapItem map;
    auto poly = Area("poly", "0,0,100,0,0,100", "p.htm");
    map.AddArea(*poly);
    auto huge = Area("circle", "0,0,2147483647", "c.htm");
    map.AddArea(*huge);
    TUrlTarget url;
    std::string title;
    ASSERT_TRUE(map.GetURL(10, 10, url, title));
    EXPECT_EQ(url.URL, "p.htm");
    ASSERT_TRUE(map.GetURL(90, 90, url, title));
    EXPECT_EQ(url.URL, "c.htm");
    EXPECT_FALSE(map.GetURL(40000, 0, url, title));
}

TEST(ImageMap, CoordinatesReadLeniently) {
    EXPECT_THAT(ParseCoords(" 1, 2 ,,3 x 4"), ::testing::ElementsAre(1, 2, 3, 0, 4));
    EXPECT_EQ(ParseCoords(std::string(400 * 2, '1').replace(1, 1, ",")).size(), 2u);
}

TEST(SelectionSinks, CountAndCopyDifferOnHardBreaks) {
    const char16_t text[] = {u'a', 8, u'b', 4, 2, u'c'};
    SelTextCount count;
    count.AddText(text, 6);
    EXPECT_EQ(count.Terminate(), 4);  // a, #8, b, c
    char16_t buf[8];
    SelTextBuf copy(buf, 8);
    copy.AddText(text, 6);
    EXPECT_EQ(copy.Terminate(), 4);  // "abc" and the closing 0
    EXPECT_EQ(std::u16string(buf), u"abc");
    char16_t small[3];
    SelTextBuf cut(small, 3);
    cut.AddText(text, 6);
    cut.Terminate();
    EXPECT_EQ(std::u16string(small), u"ab");
}

}  // namespace

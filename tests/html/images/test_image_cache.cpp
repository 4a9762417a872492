// The picture cache counts its users and frees only old pictures nobody uses.
#include <gtest/gtest.h>

#include "html/images/image_cache.h"

namespace {

std::unique_ptr<TBitmapItem> Item() {
    return std::make_unique<TBitmapItem>(std::make_unique<TBitmap>(2, 2), nullptr, NotTransp);
}

TEST(ImageCache, UsersAndAgeDecideWhatIsFreed) {
    TStringBitmapList cache;
    EXPECT_EQ(cache.MaxCache, 4);
    cache.SetCacheCount(2);
    cache.AddObject("B.GIF", Item());
    cache.AddObject("A.PNG", Item());
    cache.AddObject("C.JPG", Item());
    EXPECT_EQ(cache.Strings(0), "A.PNG");  // kept sorted
    EXPECT_EQ(cache.IndexOf("b.gif"), 1);  // whatever the case
    EXPECT_EQ(cache.IndexOf("D.BMP"), -1);

    // A.PNG and C.JPG lose their only user; B.GIF keeps its.
    cache.DecUsage("A.PNG");
    cache.DecUsage("C.JPG");
    cache.DecUsage("NOT THERE");
    cache.BumpAndCheck();
    cache.BumpAndCheck();
    EXPECT_EQ(cache.Count(), 3);  // aged 2: not above the limit yet
    // A hit makes C.JPG young again and gives it a user.
    TBitmapItem* c = cache.GetImage(cache.IndexOf("C.JPG"));
    EXPECT_EQ(c->AccessCount, 0);
    EXPECT_EQ(c->UsageCount, 1);
    cache.BumpAndCheck();
    EXPECT_EQ(cache.IndexOf("A.PNG"), -1);
    EXPECT_EQ(cache.Count(), 2);
    // In use, never freed however old.
    for (int i = 0; i < 20; ++i) cache.BumpAndCheck();
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(cache.Objects(cache.IndexOf("C.JPG"))->AccessCount, 21);
}

TEST(ImageCache, SetCacheCountZeroFreesEveryAgedUnusedEntry) {
    TStringBitmapList cache;
    cache.AddObject("OLD", Item());
    cache.AddObject("USED", Item());
    cache.DecUsage("OLD");
    cache.BumpAndCheck();
    cache.AddObject("NEW", Item());
    cache.DecUsage("NEW");  // unused but never aged
    cache.SetCacheCount(0);
    EXPECT_EQ(cache.IndexOf("OLD"), -1);
    EXPECT_EQ(cache.IndexOf("USED"), 1);
    EXPECT_EQ(cache.IndexOf("NEW"), 0);
    EXPECT_EQ(cache.MaxCache, 0);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}

}  // namespace

// Animated GIF pictures: frame timing against a clock driven by hand, loop
// counts, frame selection, copies and drawing of the current frame.
#include <gtest/gtest.h>

#include "html/images/gif_image.h"
#include "picture_builders.h"

namespace {

using pics::GifFrame;

uint32_t gNow = 0;

class GifImage : public ::testing::Test {
protected:
    void SetUp() override {
        gNow = 1000;
        SetAnimationClock([] { return gNow; });
    }
    void TearDown() override { SetAnimationClock(nullptr); }

    // Frames of one solid colour each (red, green, blue...) with the given delays.
    static std::unique_ptr<TGIFImage> Make(const std::vector<int>& delays, int loops, bool& nonAnimated) {
        std::vector<GifFrame> frames;
        for (size_t i = 0; i < delays.size(); ++i) {
            GifFrame f;
            f.width = 2;
            f.height = 2;
            f.pixels.assign(4, static_cast<uint8_t>(1 + i % 3));
            f.delay = delays[i];
            frames.push_back(f);
        }
        TMemoryStream s(pics::Gif(2, 2, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, frames, loops));
        return CreateAGifFromStream(nonAnimated, s);
    }
    static std::unique_ptr<TGIFImage> Make(const std::vector<int>& delays, int loops = -1) {
        bool nonAnimated;
        return Make(delays, loops, nonAnimated);
    }
    // Ticks the clock in steps of `step` ms until the animation stops (or
    // `limit` ticks), counting frame changes.
    static int Run(TGIFImage& g, uint32_t step, int limit, std::vector<int>* shown = nullptr) {
        int changes = 0;
        for (int i = 0; i < limit && g.Animate(); ++i) {
            gNow += step;
            g.CheckTime([&](const TRect&) { ++changes; });
            if (shown) shown->push_back(g.CurrentFrame());
        }
        return changes;
    }
};

TEST_F(GifImage, SingleFrameIsNotAnimated) {
    bool nonAnimated = false;
    auto g = Make({10}, -1, nonAnimated);
    EXPECT_TRUE(nonAnimated);
    EXPECT_FALSE(g->IsAnimated());
    EXPECT_EQ(g->NumFrames(), 1);
    g->SetAnimate(true);
    gNow += 10000;
    int changes = 0;
    g->CheckTime([&](const TRect&) { ++changes; });
    EXPECT_EQ(g->CurrentFrame(), 1);
}

TEST_F(GifImage, DelaysBelowThreeHundredthsPlayAtThirtyMilliseconds) {
    auto g = Make({0, 2, 50});
    EXPECT_EQ(g->Frame(1).frDelay, 30);
    EXPECT_EQ(g->Frame(2).frDelay, 30);
    EXPECT_EQ(g->Frame(3).frDelay, 500);
    g->SetAnimate(true);
    EXPECT_EQ(g->CurrentInterval(), 30u);
    gNow += 29;
    g->CheckTime([](const TRect&) {});
    EXPECT_EQ(g->CurrentFrame(), 1);  // not yet
    gNow += 1;
    g->CheckTime([](const TRect&) {});
    EXPECT_EQ(g->CurrentFrame(), 2);
    gNow += 30;
    g->CheckTime([](const TRect&) {});
    EXPECT_EQ(g->CurrentFrame(), 3);
    EXPECT_EQ(g->CurrentInterval(), 500u);
}

TEST_F(GifImage, LoopCountsDecideWhenTheAnimationStops) {
    // No NETSCAPE block: one play, then it stays on the last frame.
    auto once = Make({10, 10});
    EXPECT_EQ(once->NumIterations(), 1);
    once->SetAnimate(true);
    std::vector<int> shown;
    Run(*once, 100, 50, &shown);
    EXPECT_FALSE(once->Animate());
    EXPECT_EQ(once->CurrentFrame(), 2);
    EXPECT_EQ(shown, (std::vector<int>{2, 2}));

    // A loop count of 2 plays three times.
    auto three = Make({10, 10, 10}, 2);
    EXPECT_EQ(three->NumIterations(), 3);
    three->SetAnimate(true);
    EXPECT_EQ(Run(*three, 100, 100), 8);  // 3 plays of 3 frames start on frame 1
    EXPECT_FALSE(three->Animate());
    EXPECT_EQ(three->CurrentFrame(), 3);
    EXPECT_EQ(three->CurrentIteration(), 3);

    // 0 loops for ever.
    auto ever = Make({10, 10}, 0);
    EXPECT_EQ(ever->NumIterations(), 0);
    ever->SetAnimate(true);
    EXPECT_EQ(Run(*ever, 100, 500), 500);
    EXPECT_TRUE(ever->Animate());
}

TEST_F(GifImage, ClockWrapAroundStillAdvances) {
    auto g = Make({10, 10}, 0);
    gNow = 0xFFFFFFF0u;
    g->SetAnimate(true);
    gNow += 200;  // wraps past zero
    g->CheckTime([](const TRect&) {});
    EXPECT_EQ(g->CurrentFrame(), 2);
}

TEST_F(GifImage, FrameSelectionWraps) {
    auto g = Make({10, 10, 10});
    g->SetCurrentFrame(0);
    EXPECT_EQ(g->CurrentFrame(), 3);
    g->SetCurrentFrame(4);
    EXPECT_EQ(g->CurrentFrame(), 1);
    g->SetCurrentFrame(2);
    EXPECT_EQ(g->FrameState(), 2);
}

TEST_F(GifImage, CopiesShareTheStripAndKeepTheirOwnClock) {
    auto g = Make({10, 10}, 0);
    g->SetCurrentFrame(2);
    auto copy = g->CreateCopy();
    EXPECT_TRUE(copy->IsCopy());
    EXPECT_EQ(copy->CurrentFrame(), 1);
    EXPECT_EQ(&copy->Strip(), &g->Strip());
    g.reset();  // the shared strip lives on with the copy
    TBitmap target(2, 2);
    copy->Draw(target.Canvas(), 0, 0, 2, 2);
    EXPECT_EQ(target.GetPixel(1, 1), clRed);
}

TEST_F(GifImage, DrawShowsTheCurrentFrameThroughItsMask) {
    GifFrame a;
    a.width = 2;
    a.height = 1;
    a.pixels = {0, 1};
    a.transparent = 0;
    a.delay = 10;
    GifFrame b = a;
    b.pixels = {2, 0};
    bool nonAnimated;
    TMemoryStream s(pics::Gif(2, 1, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, {a, b}, 0));
    auto g = CreateAGifFromStream(nonAnimated, s);
    ASSERT_TRUE(g->IsTransparent());
    TBitmap target(4, 2);
    target.Canvas().FillRect(TRect{0, 0, 4, 2}, clYellow);
    g->Draw(target.Canvas(), 0, 0, 4, 2);  // frame 1 stretched twice
    EXPECT_EQ(target.GetPixel(0, 0), clYellow);
    EXPECT_EQ(target.GetPixel(3, 1), clRed);
    EXPECT_EQ(g->DrawRect(), (TRect{0, 0, 4, 2}));
    g->SetCurrentFrame(2);
    target.Canvas().FillRect(TRect{0, 0, 4, 2}, clYellow);
    g->Draw(target.Canvas(), 0, 0, 4, 2);
    EXPECT_EQ(target.GetPixel(0, 0), clLime);
    EXPECT_EQ(target.GetPixel(3, 0), clRed);  // transparent in frame 2: frame 1 shows through
    // The first frame on its own, and its mask.
    ASSERT_NE(g->Bitmap(), nullptr);
    EXPECT_EQ(g->Bitmap()->Width(), 2);
    EXPECT_EQ(g->GetMaskBitmap()->GetPixel(0, 0), clWhite);
    EXPECT_EQ(g->GetMaskBitmap()->GetPixel(1, 0), clBlack);
    g->SetVisible(false);
    target.Canvas().FillRect(TRect{0, 0, 4, 2}, clYellow);
    g->Draw(target.Canvas(), 0, 0, 4, 2);
    EXPECT_EQ(target.GetPixel(3, 0), clYellow);
}

}  // namespace

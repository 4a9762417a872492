// The viewer's settings, its history of shown files and its visited list.
#include <gmock/gmock.h>

#include "platform/runtime/errors.h"
#include "view_env.h"

using ::testing::ElementsAre;

namespace {

using velorim_test::ViewerTest;

TEST_F(ViewerTest, SettingsAreClampedAsTheyAreSet) {
    v->SetPrintScale(10);
    EXPECT_EQ(v->PrintScale(), 4.0);
    v->SetPrintScale(0.1);
    EXPECT_EQ(v->PrintScale(), 0.25);
    v->SetImageCacheCount(50);
    EXPECT_EQ(v->ImageCacheCount(), 20);
    v->SetImageCacheCount(-3);
    EXPECT_EQ(v->ImageCacheCount(), 0);
    v->SetServerRoot("  /srv/www\\ ");
    EXPECT_EQ(v->ServerRoot(), "/srv/www");
    v->SetVisitedMaxCount(-1);
    EXPECT_EQ(v->VisitedMaxCount(), 0);
    v->SetHistoryMaxCount(-2);
    EXPECT_EQ(v->HistoryMaxCount(), 0);
    EXPECT_EQ(v->htOptions(), htPrintTableBackground | htPrintMonochromeBlack);
    v->SetCursor(2);
    EXPECT_EQ(v->PaintPanel()->Cursor(), crIBeam);
    v->SetDefPreFontName("courier new");
    EXPECT_EQ(v->DefPreFontName(), "Courier New");
}

TEST_F(ViewerTest, HistoryKeepsTheShownFilesNewestFirst) {
    const std::string a = Write("a.htm", "<p>a</p>"), b = Write("b.htm", "<p>b</p>"), c = Write("c.htm", "<p>c</p>");
    int changes = 0;
    v->OnHistoryChange = [&](TObject*) { ++changes; };
    v->LoadFromFile(a);
    EXPECT_EQ(v->History().Count(), 0);  // no history kept by default
    v->SetHistoryMaxCount(2);
    v->LoadFromFile(b);  // the history starts with the file shown
    EXPECT_THAT(v->History().Items(), ElementsAre(b));
    v->LoadFromFile(b);  // the same file again is no new entry
    EXPECT_THAT(v->History().Items(), ElementsAre(b));
    v->LoadFromFile(a);
    v->LoadFromFile(c);
    EXPECT_THAT(v->History().Items(), ElementsAre(c, a));  // cut to the size

    // A missing file changes nothing.
    EXPECT_THROW(v->LoadFromFile((dir / "nada.htm").string()), EInOutError);
    EXPECT_EQ(v->CurrentFile(), c);
    EXPECT_THAT(v->History().Items(), ElementsAre(c, a));

    v->SetHistoryIndex(1);
    EXPECT_EQ(v->CurrentFile(), a);
    EXPECT_EQ(v->HistoryIndex(), 1);
    // Going on from an older entry drops the newer ones.
    v->LoadFromFile(b);
    EXPECT_THAT(v->History().Items(), ElementsAre(b, a));
    EXPECT_EQ(v->HistoryIndex(), 0);

    const int before = changes;
    v->SetHistoryMaxCount(1);
    EXPECT_EQ(v->History().Count(), 0);
    EXPECT_EQ(v->CurrentFile(), "");
    EXPECT_EQ(changes, before + 1);
}

TEST_F(ViewerTest, VisitedListIsNewestFirstAndCutToItsSize) {
    v->SetVisitedMaxCount(2);
    v->AddVisitedLink("/x/a.htm");
    v->AddVisitedLink("/x/b.htm");
    v->AddVisitedLink("/X/A.HTM");  // known, ignoring case: moved to the front
    EXPECT_THAT(v->Visited().Items(), ElementsAre("/x/a.htm", "/x/b.htm"));
    v->AddVisitedLink("/x/c.htm");
    EXPECT_THAT(v->Visited().Items(), ElementsAre("/x/c.htm", "/x/a.htm"));
    v->SetVisitedMaxCount(0);
    EXPECT_EQ(v->Visited().Count(), 0);
    v->AddVisitedLink("/x/d.htm");
    EXPECT_EQ(v->Visited().Count(), 0);
}

TEST_F(ViewerTest, FileNamesOfLinksResolveBesideTheShownFile) {
    const std::string a = Write("a.htm", "<p>a</p>");
    v->LoadFromFile(a);
    EXPECT_EQ(v->ResolveFileName("b.htm"), (dir / "b.htm").string());
    EXPECT_EQ(v->ResolveFileName("sub\\c.htm"), (dir / "sub/c.htm").string());
    EXPECT_EQ(v->ResolveFileName("../d%20e.htm"), (dir.parent_path() / "d e.htm").string());
    EXPECT_EQ(v->ResolveFileName("file:///tmp/x.htm"), "/tmp/x.htm");
    EXPECT_EQ(v->ResolveFileName("http://host/p.htm"), "http://host/p.htm");
}

}  // namespace

namespace {

using velorim_test::ViewerTest;

// Text held in memory shows as the file it will be written to: the same
// folder for relative names, title and history, and no file is needed.
TEST_F(ViewerTest, TextFromMemoryShowsAsTheFileItNames) {
    const std::string a = Write("a.htm", "<p>a</p>");
    const std::string report = (dir / "sub" / "r.htm").string();
    v->SetHistoryMaxCount(3);
    v->LoadFromFile(a);
    v->LoadFromString("<title>Relatório</title><p>r</p>", report);
    EXPECT_EQ(v->CurrentFile(), report);
    EXPECT_EQ(v->DocumentTitle(), "Relatório");
    EXPECT_EQ(v->DocumentSource(), "<title>Relatório</title><p>r</p>");
    EXPECT_EQ(v->ResolveFileName("fig.gif"), (dir / "sub" / "fig.gif").string());
    EXPECT_THAT(v->History().Items(), ElementsAre(report, a));
    EXPECT_THAT(v->TitleHistory().Items(), ElementsAre("Relatório", ""));
}

}  // namespace

// Pages recorded for the preview: one metafile per page at the printer's
// geometry, a last page that nothing was drawn on dropped, and the status
// dialog's captions and Cancel.
#include <gtest/gtest.h>

#include <vector>

#include "html/view/metafile_printer.h"
#include "html/view/print_status_form.h"
#include "platform/gui/printer.h"
#include "support/gui_test.h"

namespace {

TEST(MetaFilePrinter, RecordsOnePagePerNewPageAndDropsAnUnusedLastOne) {
    TMetaFilePrinter mf(nullptr);
    std::vector<int> events;
    mf.OnPageEvent = [&](TObject*, int page, bool&) { events.push_back(page); };
    mf.BeginDoc();
    const TDeviceCaps caps = Printer().DeviceCaps();
    EXPECT_TRUE(mf.Printing());
    EXPECT_EQ(mf.PixelsPerInchX, caps.LogPixelsX);
    EXPECT_EQ(mf.PaperHeight, caps.PhysicalHeight);
    EXPECT_EQ(mf.PageWidth, caps.HorzRes);
    ASSERT_EQ(mf.LastAvailablePage(), 1);

    mf.GetCanvas().TextOut(100, 100, std::string("um"));
    mf.NewPage();
    mf.GetCanvas().TextOut(100, 100, std::string("dois"));
    mf.NewPage();  // nothing is drawn on page 3
    EXPECT_EQ(mf.LastAvailablePage(), 3);
    mf.EndDoc();
    EXPECT_FALSE(mf.Printing());
    EXPECT_EQ(mf.LastAvailablePage(), 2);
    EXPECT_EQ(events, (std::vector<int>{1, 2, 3}));
    ASSERT_NE(mf.GetMetaFile(1), nullptr);
    EXPECT_EQ(mf.GetMetaFile(1)->Width(), caps.PhysicalWidth);
    EXPECT_FALSE(mf.GetMetaFile(1)->Empty());
    EXPECT_EQ(mf.GetMetaFile(2), nullptr);
    EXPECT_EQ(mf.GetMetaFile(-1), nullptr);

    // A new document starts over.
    mf.BeginDoc();
    mf.EndDoc();
    EXPECT_EQ(mf.LastAvailablePage(), 0);

    mf.SetUnits(TUnits::unCentimeters);
    EXPECT_DOUBLE_EQ(mf.UnitsFactor(), 2.54);
    mf.SetUnits(TUnits::unInches);
    EXPECT_DOUBLE_EQ(mf.UnitsFactor(), 1.0);
}

TEST(PrnStatusForm, ShowsThePageAndStopsOnceCancelled) {
    TPrnStatusForm form(nullptr);
    EXPECT_EQ(form.Caption(), "Carregando...");
    EXPECT_EQ(form.StatusLabel->Caption(), "Status");
    bool stop = false;
    form.PageEvent(nullptr, 0, stop);
    EXPECT_EQ(form.StatusLabel->Caption(), "Formatando");
    form.PageEvent(nullptr, 3, stop);
    EXPECT_EQ(form.StatusLabel->Caption(), "Página Número 3");
    EXPECT_FALSE(stop);
    form.CancelButton->Click();
    EXPECT_TRUE(form.Cancelled());
    form.PageEvent(nullptr, 4, stop);
    EXPECT_TRUE(stop);
    EXPECT_EQ(form.StatusLabel->Caption(), "Página Número 3");
}

}  // namespace

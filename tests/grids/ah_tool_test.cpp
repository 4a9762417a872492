// The stream and clipboard primitives of the table text, and the list that
// owns its objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grids/ah_tool.h"
#include "grids/align_grid.h"
#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"

namespace {

TEST(AhTool, StreamsCarryBytesToAndFromTheClipboard) {
    std::string stream;
    ah_tool::WriteStringToStream(stream, "Data\tValor\t\r\n");
    ah_tool::WriteStringToStream(stream, std::string("01/2000\t\t\r\n\xE7", 12));
    EXPECT_EQ(stream.size(), 25u);  // the bytes alone: no terminator, no length
    ASSERT_TRUE(ah_tool::StreamToClipboard(stream, CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), stream);

    std::string back = "old";
    ASSERT_TRUE(ah_tool::ClipboardToStream(back, CF_TEXT));
    EXPECT_EQ(back, stream);
    // A format the clipboard does not hold leaves the stream alone.
    const unsigned none = RegisterClipboardFormat("Velorim nothing");
    EXPECT_FALSE(ah_tool::ClipboardToStream(back, none));
    EXPECT_EQ(back, stream);
}

TEST(AhTool, GridCopyAndPasteGoThroughTheClipboardText) {
    TForm* form = new TForm(Application);
    auto* grid = new TStringAlignGrid(form);
    grid->SetParent(form);
    grid->SetColCount(2);
    grid->SetRowCount(2);
    grid->SetCells(0, 0, "Data");
    grid->SetCells(1, 0, "Valor");
    grid->SetCells(0, 1, "01/2000");
    grid->CopyToClipboard('\t', TGridRect{-1, -1, -1, -1});
    EXPECT_EQ(Clipboard().AsText(), "Data\tValor\t\r\n01/2000\t\t\r\n");

    ASSERT_TRUE(ah_tool::StreamToClipboard("x\ty\t\r\nz\t\r\n", CF_TEXT));
    grid->PasteFromClipboard('\t', TGridRect{0, 0, 1, 1});
    EXPECT_EQ(grid->Cells(0, 0), "x");
    EXPECT_EQ(grid->Cells(1, 0), "y");
    EXPECT_EQ(grid->Cells(0, 1), "z");
    EXPECT_EQ(grid->Cells(1, 1), "");
    form->Free();
}

// Records its own destruction.
class Tracked : public TObject {
public:
    Tracked(std::vector<int>& log, int id) : log_(log), id_(id) {}
    ~Tracked() override { log_.push_back(id_); }

private:
    std::vector<int>& log_;
    int id_;
};

TEST(AhTool, ObjectListFreesWhatItLosesAndTheRestLastFirst) {
    std::vector<int> freed;
    {
        ah_tool::TObjectList list;
        for (int i = 1; i <= 5; ++i) list.Add(new Tracked(freed, i));
        list.Delete(1);
        EXPECT_EQ(freed, (std::vector<int>{2}));
        TObject* third = list.Items(1);
        EXPECT_EQ(list.Remove(third), 1);
        EXPECT_EQ(freed, (std::vector<int>{2, 3}));
        Tracked stranger(freed, 99);
        EXPECT_EQ(list.Remove(&stranger), -1);  // not listed: left alone
        EXPECT_EQ(list.Count(), 3);
        freed.clear();
    }
    // The stranger goes last, at the end of its own scope.
    EXPECT_EQ(freed, (std::vector<int>{99, 5, 4, 1}));
    ASSERT_NE(ah_tool::ObjectList1, nullptr);
    ASSERT_NE(ah_tool::DummyObject, nullptr);
}

}  // namespace

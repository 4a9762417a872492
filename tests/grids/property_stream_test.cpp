// The grid's stored description: the value encoding, the record items, a
// round trip of every record kind, the older properties, and damaged input.
#include <gtest/gtest.h>

#include "grids/align_grid.h"
#include "grids/property_stream.h"

namespace {

// Values as the stream holds them, to build descriptions by hand.
std::string Int(int v) {
    TPropWriter w;
    w.WriteInteger(v);
    return w.Data();
}
std::string Str(const std::string& s) { return "s" + std::string(1, static_cast<char>(s.size())) + s; }
std::string Name(const std::string& n) { return std::string(1, static_cast<char>(n.size())) + n; }
std::string Description(const std::string& props) { return std::string("VGRD\x01", 5) + props + '\0'; }
std::string List(const std::string& values) { return "(" + values + ")"; }

std::string RecordItems(const TCellProperties& p) {
    TPropWriter w;
    p.WriteProperties(w);
    return w.Data();
}

}  // namespace

TEST(PropertyStream, IntegersTakeTheSmallestWidthAndEveryWidthReadsBack) {
    TPropWriter w;
    for (int v : {0, -128, 127, 128, -32768, 32767, 32768, -2147483640}) w.WriteInteger(v);
    EXPECT_EQ(w.Data().substr(0, 6), std::string("b\0b\x80" "b\x7F", 6));
    EXPECT_EQ(w.Data().substr(6, 9), std::string("h\x80\0h\0\x80h\xFF\x7F", 9));
    EXPECT_EQ(w.Data().substr(15), std::string("i\0\x80\0\0i\x08\0\0\x80", 10));
    w.WriteString("MS Sans Serif");
    w.WriteString(std::string(300, 'x'));
    w.WriteBinary(std::string("\0\1", 2));

    TPropReader r(w.Data());
    for (int v : {0, -128, 127, 128, -32768, 32767, 32768, -2147483640}) EXPECT_EQ(r.ReadInteger(), v);
    EXPECT_EQ(r.ReadString(), "MS Sans Serif");
    EXPECT_EQ(r.ReadString(), std::string(300, 'x'));
    EXPECT_EQ(r.ReadBinary(), std::string("\0\1", 2));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_THROW(r.ReadInteger(), EReadError);

    const std::string seven = Str("7");  // the reader keeps a view of its text
    TPropReader wrong(seven);
    EXPECT_THROW(wrong.ReadInteger(), EReadError);
}

TEST(PropertyStream, RecordItemsAreWrittenOnlyForFieldsThatAreSet) {
    TCellProperties p(nullptr);
    EXPECT_EQ(RecordItems(p), Int(0));
    p.Edit = 2;
    EXPECT_EQ(RecordItems(p), Int(3) + Int(2) + Int(0));

    TFont f;
    f.SetStyle(fsBold | fsItalic);
    p.SetFont(&f);
    const std::string items = RecordItems(p);
    TPropReader r(items);
    EXPECT_EQ(r.ReadInteger(), 3);
    EXPECT_EQ(r.ReadInteger(), 2);
    EXPECT_EQ(r.ReadInteger(), 6);
    EXPECT_EQ(r.ReadInteger(), f.Color());
    EXPECT_EQ(r.ReadInteger(), -11);
    EXPECT_EQ(r.ReadString(), "MS Sans Serif");
    EXPECT_EQ(r.ReadInteger(), 0);
    EXPECT_EQ(r.ReadInteger(), 3);  // bold and italic
    EXPECT_EQ(r.ReadInteger(), 0);

    // A record back at its not-set values is empty and is not written.
    TStringAlignGrid g;
    g.SetEditCell(2, 2, true);
    g.CellProperties(2, 2)->Edit = 0;
    g.SetAlignCol(1, TMyAlign::alCenter);
    g.ColProperties(1)->Align = TMyAlign::alDefault;
    EXPECT_EQ(g.WriteDescription(), Description(Name("PropCell") + "()" + Name("PropCol") + "()" + Name("PropRow") +
                                                "()" + Name("PropFixedCol") + "()" + Name("PropFixedRow") + "()"));
}

TEST(PropertyStream, HandWrittenRecordsReadAsTheirFields) {
    TStringAlignGrid g;
    const std::string font = std::string("i\x08\0\0\x80", 5) + Int(-11) + Str("MS Sans Serif") + Int(0) + Int(0);
    g.ReadDescription(Description(Name("PropCell") + List(Int(2) + Int(0) + Int(2) + Int(1) + Int(0)) +
                                  Name("PropRow") + List(Int(3) + Int(1) + Int(0) + Int(6) + font + Int(0))));
    EXPECT_EQ(g.CellProperties(2, 0)->WordWrap, ww_wordwrap);
    const TCellProperties* row = g.RowProperties(3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Align, TMyAlign::alRight);
    ASSERT_NE(row->Font(), nullptr);
    EXPECT_EQ(row->Font()->Color(), clWindowText);
    EXPECT_EQ(row->Font()->Size(), 8);
    EXPECT_EQ(row->Font()->Name(), "MS Sans Serif");
}

TEST(PropertyStream, EveryRecordKindHintsAndTextsRoundTrip) {
    TStringAlignGrid g;
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetAlignCell(1, 1, TMyAlign::alCenter);
    g.SetWordwrapCell(1, 1, ww_ellipsis);
    g.SetEditCell(1, 1, false);
    g.BrushCell(1, 1).SetStyle(TBrushStyle::bsCross);
    g.SetSelectedColorCell(1, 1, clLime);
    g.FontCell(1, 1).SetName("Courier New");
    g.SetSelectedFontColorCell(1, 1, clRed);
    g.SetEditCol(2, true);
    g.SetWordwrapRow(3, ww_wordwrap);
    g.SetAlignFixedCol(3, TMyAlign::alRight);
    g.FontFixedRow(0).SetStyle(fsUnderline | fsStrikeOut);
    g.FontFixedRow(0).SetPitch(TFontPitch::fpFixed);
    g.FontFixedRow(0).SetHeight(-40);
    g.BrushCol(3).SetColor(clBtnFace);
    g.SetHintCell(2, 3, "dica");
    g.SetCells(0, 0, "Mês");
    g.SetCells(3, 4, std::string(400, 'z'));

    // Texts and hints are written only once a description carried them.
    const std::string first = g.WriteDescription();
    EXPECT_EQ(first.find("HintCell"), std::string::npos);
    EXPECT_EQ(first.find("Cells"), std::string::npos);
    const std::string withTexts = Description(Name("HintCell") + List(Int(2) + Int(3) + Str("dica")) + Name("Cells") +
                                              List(Int(0) + Int(0) + Str("Mês")));
    g.ReadDescription(withTexts);
    g.SetCells(3, 4, std::string(400, 'z'));
    const std::string full = g.WriteDescription();

    TStringAlignGrid copy;
    copy.SetColCount(4);
    copy.SetRowCount(5);
    copy.ReadDescription(full);
    EXPECT_EQ(copy.WriteDescription(), full);
    EXPECT_EQ(copy.GetAlignCell(1, 1), TMyAlign::alCenter);
    EXPECT_EQ(copy.GetWordwrapCell(1, 1), ww_ellipsis);
    EXPECT_FALSE(copy.GetEditCell(1, 1));
    EXPECT_EQ(copy.ResolveCellBrush(1, 1).Style(), TBrushStyle::bsCross);
    EXPECT_EQ(copy.GetSelectedColorCell(1, 1), clLime);
    EXPECT_EQ(copy.ResolveCellFont(1, 1).Name(), "Courier New");
    EXPECT_EQ(copy.GetSelectedFontColorCell(1, 1), clRed);
    EXPECT_TRUE(copy.GetEditCell(2, 4));
    EXPECT_EQ(copy.GetWordwrapCell(2, 3), ww_wordwrap);
    EXPECT_EQ(copy.GetAlignCell(3, 0), TMyAlign::alRight);
    EXPECT_EQ(copy.ResolveCellFont(2, 0).Style(), fsUnderline | fsStrikeOut);
    EXPECT_EQ(copy.ResolveCellFont(2, 0).Pitch(), TFontPitch::fpFixed);
    EXPECT_EQ(copy.GetColorCell(3, 2), clBtnFace);
    EXPECT_EQ(copy.GetHintCell(2, 3), "dica");
    EXPECT_EQ(copy.Cells(0, 0), "Mês");
    EXPECT_EQ(copy.Cells(3, 4), std::string(400, 'z'));
}

TEST(PropertyStream, LoadedTextsReplaceEveryCell) {
    TStringAlignGrid g;
    g.SetCells(1, 1, "antes");
    g.SetCells(4, 4, "antes");
    g.ReadDescription(Description(Name("Cells") + List(Int(0) + Int(0) + Str("só este"))));
    EXPECT_EQ(g.Cells(0, 0), "só este");
    EXPECT_EQ(g.Cells(1, 1), "");
    EXPECT_EQ(g.Cells(4, 4), "");
    // The texts were applied once: later edits stay.
    g.SetCells(2, 2, "depois");
    g.ReadDescription(Description(Name("PropCol") + "()"));
    EXPECT_EQ(g.Cells(2, 2), "depois");
}

TEST(PropertyStream, OlderPropertiesSetTheRecordsTheyName) {
    TStringAlignGrid g;
    g.SetColor(clYellow);
    const std::string brush = Int(clRed) + Int(2);
    const std::string font = Int(0) + Int(-16) + Str("Arial") + Int(1) + Int(fsBold);
    g.ReadDescription(Description(
        Name("AlignCell") + "B" + std::string("\5\0\0\0\1\0\2\0\2", 9) +
        Name("FixedAlignRow") + "B" + std::string("\3\0\0\0\0\0\0", 7) +
        Name("EditCell") + "B" + std::string("\5\0\0\0\1\0\2\0\0", 9) +
        Name("EditCol") + "B" + std::string("\3\0\0\0\3\0\1", 7) +
        Name("FontRow") + List(Int(2) + font) + Name("BrushFixedCol") + List(Int(0) + brush) +
        // Indexes keep their low 16 bits: 65539 is column 3.
        Name("ColorCell") + List(std::string("i\3\0\1\0", 5) + Int(2) + Int(0x40)) +
        Name("SelectedColorRow") + List(Int(4) + Int(0x1000))));
    EXPECT_EQ(g.GetAlignCell(1, 2), TMyAlign::alCenter);
    EXPECT_EQ(g.GetAlignCell(2, 0), TMyAlign::alRight);  // fixed row 0: alRight
    EXPECT_FALSE(g.GetEditCell(1, 2));
    EXPECT_TRUE(g.GetEditCell(3, 1));
    EXPECT_EQ(g.ResolveCellFont(1, 2).Name(), "Arial");
    EXPECT_EQ(g.ResolveCellFont(1, 2).Style(), fsBold);
    EXPECT_EQ(g.ResolveCellBrush(0, 1).Color(), clRed);
    EXPECT_EQ(g.ResolveCellBrush(0, 1).Style(), TBrushStyle::bsHorizontal);
    EXPECT_EQ(g.GetColorCell(3, 2), 0x40);
    EXPECT_EQ(g.GetSelectedColorCell(1, 4), 0x1000);
    // The older properties are read, never written.
    const std::string out = g.WriteDescription();
    EXPECT_EQ(out.find("AlignCell"), std::string::npos);
    EXPECT_NE(out.find("PropCell"), std::string::npos);
}

TEST(PropertyStream, DamagedDescriptionsRaiseAndLeaveTheGridAsItWas) {
    TStringAlignGrid source;
    source.SetAlignCell(1, 1, TMyAlign::alRight);
    source.FontCol(2).SetName("Arial");
    source.BrushRow(3).SetColor(clAqua);
    source.ReadDescription(Description(Name("HintCell") + List(Int(1) + Int(1) + Str("h")) + Name("Cells") +
                                       List(Int(1) + Int(1) + Str("texto"))));
    const std::string good = source.WriteDescription();

    TStringAlignGrid g;
    g.SetWordwrapCell(1, 1, ww_wordwrap);
    g.SetCells(2, 2, "fica");
    const std::string before = g.WriteDescription();
    auto expectUntouched = [&](const std::string& bad) {
        EXPECT_THROW(g.ReadDescription(bad), EReadError) << testing::PrintToString(bad);
        EXPECT_EQ(g.WriteDescription(), before);
        EXPECT_EQ(g.Cells(2, 2), "fica");
        EXPECT_EQ(g.GetHintCell(1, 1), "");
    };
    for (size_t n = 0; n < good.size(); ++n) expectUntouched(good.substr(0, n));
    expectUntouched(good + "x");
    expectUntouched("VGRD\x02" + good.substr(5));
    expectUntouched(Description(Name("PropCel") + "()"));
    // A tag this record does not know is skipped alone: its string is then taken for a tag.
    expectUntouched(Description(Name("PropCell") + List(Int(1) + Int(1) + Int(100) + Str("00") + Str(".") + Int(0))));
    expectUntouched(Description(Name("AlignCol") + "B" + std::string("\4\0\0\0\1\0\2\0", 8)));
    // Far-off indexes in many columns would claim gigabytes of list slots.
    std::string far;
    for (int c = 0; c < 64; ++c) far += Int(c) + Int(65535) + Int(0);
    expectUntouched(Description(Name("PropCell") + List(far)));

    g.SetName("Grade");
    try {
        g.ReadDescription(Description(Name("PropRow") + List(Int(1) + Str("x"))));
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "Error reading Grade.PropRow: Stream read error: integer expected at byte 16");
    }
}

TEST(PropertyStream, ValuesBeyondTheirTypesKeepTheirLowBytes) {
    // Alignment 260, edit flag 7, brush style 9, font height 70000 and pitch
    // 258 are kept as their low byte or word, never refused.
    const std::string font = Int(0) + Int(70000) + Str("Arial") + Int(258) + Int(0);
    const std::string items = Int(1) + Int(260) + Int(3) + Int(7) + Int(4) + Int(clRed) + Int(9) + Int(6) + font + Int(0);
    TStringAlignGrid g;
    g.ReadDescription(Description(Name("PropCell") + List(Int(1) + Int(1) + items) + Name("AlignCol") + "B" +
                                  std::string("\3\0\0\0\1\0\7", 7)));
    const TCellProperties* p = g.CellProperties(1, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(static_cast<int>(p->Align), 4);
    EXPECT_EQ(p->Edit, 7);
    EXPECT_EQ(static_cast<int>(p->Brush()->Style()), 9);
    EXPECT_EQ(p->Font()->Height(), 4464);
    EXPECT_EQ(static_cast<int>(p->Font()->Pitch()), 2);
    EXPECT_EQ(static_cast<int>(g.ColProperties(1)->Align), 7);
    // What was kept is written back as it was read.
    TStringAlignGrid copy;
    copy.ReadDescription(g.WriteDescription());
    EXPECT_EQ(copy.WriteDescription(), g.WriteDescription());
    EXPECT_NE(g.WriteDescription().find(Int(1) + Int(4) + Int(3) + Int(7)), std::string::npos);
}

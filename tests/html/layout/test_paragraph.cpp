// Paragraph sections: white space, line breaking, widths, selection and hit
// tests, with the fixed-metric font service (8 px characters, 4 px spaces,
// 20 px lines).
#include "layout_fixture.h"

namespace layout_test {
namespace {

using ::testing::ElementsAre;

TEST_F(LayoutTest, FinishNormalisesWhiteSpace) {
    TSection* s = Para("  aa   bb ");
    EXPECT_EQ(Text(*s), "aa bb ");
    TSection* br = Para("a \n b\n");
    EXPECT_EQ(Text(*br), "a|b ");  // spaces around the break go, a final break goes
    TSection* lone = Para("\n");
    EXPECT_EQ(Text(*lone), "|");  // a lone break stays, without a closing space
    TSection* shy = Para("~ab~c");
    EXPECT_EQ(Text(*shy), "abc ");
    EXPECT_EQ(shy->Brk.substr(0, 3), "ysy");  // the inner hyphen marks the character before it
    const int before = cell->Count();
    auto* empty = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    AddText(empty, "   ");
    cell->Add(empty, 0);
    EXPECT_EQ(cell->Count(), before);  // an empty paragraph is not kept
    auto* pre = new TPreFormated(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    cell->Add(pre, 0);
    EXPECT_EQ(cell->Count(), before + 1);  // an empty pre is
}

TEST_F(LayoutTest, DoubleSpacesInNoBreakTextLoseTheFirst) {
    ParserNoBreak = true;
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    AddText(s, "a");
    ParserNoBreak = false;
    TokenObj t;
    t.AddUnicodeChar(u' ', 90);
    s->AddTokenObj(t);  // a break may follow this space...
    ParserNoBreak = true;
    TokenObj u;
    u.AddUnicodeChar(u' ', 91);
    u.AddUnicodeChar(u'b', 92);
    s->AddTokenObj(u);
    ParserNoBreak = false;
    // ... so of the pair "y n" the second goes; with "n y" the first would.
    cell->Add(s, 0);
    EXPECT_EQ(Text(*s), "a b ");
    EXPECT_EQ(s->FindSourcePos(1), 90);
}

TEST_F(LayoutTest, LinesBreakAtSpacesAndWrapToTheWidth) {
    TSection* s = Para("aaa bbb ccc");
    Layout(60);
    EXPECT_THAT(LineTexts(*s), ElementsAre("aaa bbb ", "ccc "));
    EXPECT_EQ(s->SectionHeight, 40);
    EXPECT_EQ(s->Lines[0].LineHt, 20);
    EXPECT_EQ(s->Lines[0].Descent, 4);
    EXPECT_EQ(s->StartCurs, 0);
    EXPECT_EQ(s->Len, 12);
    Layout(800);
    EXPECT_THAT(LineTexts(*s), ElementsAre("aaa bbb ccc "));
}

TEST_F(LayoutTest, HardBreaksEndLines) {
    TSection* s = Para("ab\ncd");
    Layout(800);
    EXPECT_THAT(LineTexts(*s), ElementsAre("ab|", "cd "));
}

TEST_F(LayoutTest, AnOverlongWordRunsToItsEndAndWidensTheSection) {
    TSection* s = Para("abcdefghij kl");
    int maxWidth = 0, curs = 0;
    doc->Layout(canvas, 0, 40, 600, 0, maxWidth, curs);
    EXPECT_THAT(LineTexts(*s), ElementsAre("abcdefghij ", "kl "));
    EXPECT_EQ(maxWidth, 80);
}

TEST_F(LayoutTest, BreakWordCutsAtTheWidth) {
    Push("p", "word-wrap: break-word");
    TSection* s = Para("abcdefghij");
    Pop();
    Layout(40);
    EXPECT_THAT(LineTexts(*s), ElementsAre("abcde", "fghij "));
}

TEST_F(LayoutTest, SoftHyphenBreaksOnlyWhenTheHyphenFits) {
    TSection* s = Para("aaa~bbb");
    Layout(33);  // "aaab" fits; back to the hyphen: "aaa" + "-" is 32
    EXPECT_THAT(LineTexts(*s), ElementsAre("aaa", "bbb "));
    EXPECT_TRUE(s->Lines[0].Shy);
    auto log = Paint();
    EXPECT_THAT(log, ::testing::Contains(::testing::HasSubstr("aaa-")));
}

// A line may end after a hyphen, but a minus sign stays with the number it
// starts: a negative amount must never read as a positive one.
TEST_F(LayoutTest, AMinusSignStaysWithItsNumber) {
    TSection* amount = Para("-1.974,61");
    TSection* words = Para("aaa-bbb");
    TSection* range = Para("100-200");
    Layout(40);
    EXPECT_THAT(LineTexts(*amount), ElementsAre("-1.974,61 "));
    EXPECT_THAT(LineTexts(*words), ElementsAre("aaa-", "bbb "));
    EXPECT_THAT(LineTexts(*range), ElementsAre("100-", "200 "));
    int mn = 0, mx = 0;
    amount->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 72) << "the whole amount is the narrowest it can be";
}

TEST_F(LayoutTest, AlignmentPlacesLines) {
    Push("p", "text-align: center");
    TSection* c = Para("ab");
    Pop();
    Push("p", "text-align: right");
    TSection* r = Para("ab");
    Pop();
    Push("p", "text-align: justify");
    TSection* j = Para("aa bb cc dd");
    Pop();
    Layout(70);
    EXPECT_EQ(c->Lines[0].LineIndent, (70 - 16) / 2);
    EXPECT_EQ(r->Lines[0].LineIndent, 70 - 16);
    ASSERT_EQ(j->Lines.size(), 2u);  // "aa bb cc " then "dd "
    EXPECT_EQ(j->Lines[0].Extra, 70 - 56);
    EXPECT_EQ(j->Lines[0].Spaces, 2);
    EXPECT_EQ(j->Lines[1].Extra, 0);  // not the last line
}

TEST_F(LayoutTest, PercentTextIndentIsCappedAtNinety) {
    Push("p", "text-indent: 95%");
    TSection* s = Para("a");
    Pop();
    Layout(200);
    EXPECT_EQ(s->FLPercent, 90);
    EXPECT_EQ(s->FirstLineIndent, 180);
    EXPECT_EQ(s->Lines[0].LineIndent, 180);
}

TEST_F(LayoutTest, MinAndMaxWidth) {
    TSection* s = Para("aaa bbbbb\ncc");
    int mn = 0, mx = 0;
    s->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 40);  // the longest word
    EXPECT_EQ(mx, 68);  // "aaa bbbbb" before the break, its break counted as nothing
    TSection* lines = Para("ab\ncccccc\nd");
    lines->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mx, 48);  // the widest stretch between breaks, not the first or the last
    TSection* h = Para("ab-cd");
    h->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 24);  // "ab-" and "cd"
    TSection* shy = Para("ab~cd");
    shy->MinMaxWidth(canvas, mn, mx);
    EXPECT_EQ(mn, 24);  // "ab" plus the drawn hyphen
}

TEST_F(LayoutTest, LineHeightSplitsTheDifference) {
    Push("p", "line-height: 31px");
    TSection* s = Para("ab");
    Pop();
    Layout(100);
    EXPECT_EQ(s->Lines[0].SpaceBefore, 5);
    EXPECT_EQ(s->Lines[0].SpaceAfter, 6);
    EXPECT_EQ(s->SectionHeight, 31);
}

TEST_F(LayoutTest, SelectionCopiesLinesWithoutTheClosingSpace) {
    Para("aaa bbb");
    Para("ccc");
    Layout(800);
    Paint();
    doc->SelB = 0;
    doc->SelE = 10;  // the first paragraph (8 characters) and "cc"
    EXPECT_EQ(doc->GetSelText(), u"aaa bbb\r\ncc");
    doc->SelB = 4;
    doc->SelE = 8;  // to the paragraph's end exactly: its line end comes too
    EXPECT_EQ(doc->GetSelText(), u"bbb\r\n");
    EXPECT_EQ(doc->GetSelLength(), 5);
    doc->SelE = 7;  // short of it: not
    EXPECT_EQ(doc->GetSelText(), u"bbb");
    doc->SelB = doc->SelE = 3;
    char16_t buf[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(doc->GetSelTextBuf(buf, 4), 0);
    EXPECT_EQ(buf[0], 0);
}

TEST_F(LayoutTest, HitTestsFindCharactersAndLines) {
    TSection* s = Para("aaa bbb ccc");
    Layout(60);
    Paint();
    int xr = 0, yr = 0, ht = 0;
    bool intext = false;
    // Second line "ccc ", 20 px down; x 13 is past half of the second "c".
    EXPECT_EQ(doc->FindCursor(canvas, 13, 25, xr, yr, ht, intext), 10);
    EXPECT_EQ(xr, 16);
    EXPECT_EQ(yr, 20);
    EXPECT_TRUE(intext);
    // Right of the text but inside the line's width: after its last character.
    EXPECT_EQ(doc->FindCursor(canvas, 55, 25, xr, yr, ht, intext), 12);
    EXPECT_FALSE(intext);
    // Beyond the line's right limit: nothing.
    EXPECT_EQ(s->FindCursor(canvas, 60, 25, xr, yr, ht, intext), -1);
    int x = 0, y = 0;
    EXPECT_TRUE(doc->CursorToXY(&canvas, 9, x, y));
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 20);
    EXPECT_TRUE(doc->CursorToXY(&canvas, 99, x, y));  // past the end: the last character + 15
    EXPECT_EQ(x, 24 + 15);
    char16_t ch = 0;
    TSectionBase* obj = nullptr;
    EXPECT_TRUE(doc->GetCharAt(4, ch, obj));
    EXPECT_EQ(ch, u'b');
    EXPECT_EQ(obj, s);
}

TEST_F(LayoutTest, HitTestsTakeDocumentCoordinatesWhenScrolled) {
    Para("aaa bbb ccc");
    Para("ddd");
    Layout(60);
    doc->SetYOffset(20);
    doc->Draw(canvas, TRect{0, 0, 60, 100}, 60, -30, 0, 0, 0);  // scrolled 30 px right, 20 down
    int xr = 0, yr = 0, ht = 0;
    bool intext = false;
    EXPECT_EQ(doc->FindCursor(canvas, 13, 25, xr, yr, ht, intext), 10);
    EXPECT_EQ(xr, 16);
    EXPECT_EQ(doc->FindCursor(canvas, 1, 45, xr, yr, ht, intext), 12);  // the second paragraph
}

TEST_F(LayoutTest, SourcePositionsMapBothWays) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    TokenObj t;
    for (int i = 0; i < 3; ++i) t.AddUnicodeChar(static_cast<char16_t>(u'a' + i), 10 + i);  // "abc" at 10..12
    for (int i = 0; i < 2; ++i) t.AddUnicodeChar(static_cast<char16_t>(u'x' + i), 20 + i);  // "xy" at 20..21
    s->AddTokenObj(t);
    cell->Add(s, 22);  // the closing space comes from 22
    Layout(800);
    EXPECT_EQ(s->FindSourcePos(1), 11);
    EXPECT_EQ(s->FindSourcePos(4), 21);
    EXPECT_EQ(s->FindSourcePos(6), -1);
    EXPECT_EQ(s->FindDocPos(15, false), 3);  // a gap: the next run's first character
    EXPECT_EQ(s->FindDocPos(15, true), 2);   // with previous: the last one before it
    EXPECT_EQ(s->FindDocPos(5, false), 0);
    EXPECT_EQ(s->FindDocPos(5, true), -1);
    EXPECT_EQ(s->FindDocPos(30, true), 5);
    EXPECT_EQ(s->FindDocPos(30, false), -1);
    EXPECT_EQ(doc->FindDocPos(30, false), doc->Len);  // the document answers its length
    TCell holder(doc.get());
    auto copy = s->CreateCopy(&holder);
    EXPECT_EQ(copy->FindSourcePos(1), 11);
    EXPECT_EQ(copy->FindSourcePos(4), 21);
    EXPECT_EQ(copy->FindDocPos(15, true), 2);
}

TEST_F(LayoutTest, FindStringBothWays) {
    Para("Alpha beta");
    Para("gamma Beta");
    Layout(800);
    EXPECT_EQ(doc->FindString(0, u"beta", false), 6);
    EXPECT_EQ(doc->FindString(7, u"beta", false), 17);
    EXPECT_EQ(doc->FindString(0, u"Beta", true), 17);
    EXPECT_EQ(doc->FindStringR(30, u"beta", false), 17);
    EXPECT_EQ(doc->FindStringR(16, u"beta", false), 6);
}

TEST_F(LayoutTest, SmallCapsRunsStartAtLowerCaseLetters) {
    Push("span", "font-variant: small-caps");
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, false);
    AddText(s, "Ab1c");
    Pop();
    cell->Add(s, 0);
    EXPECT_EQ(Text(*s), "AB1C ");
    ASSERT_GE(s->Fonts.Count(), 2);
    EXPECT_EQ(s->Fonts[1]->Pos, 1);  // "B1C" in the small size: the digit does not end it
    EXPECT_EQ(ParserPropStack.Count(), 1);  // the small size was popped again
}

TEST_F(LayoutTest, PaintsTextOnTheBaselineAndSelectionInverted) {
    Para("ab cd");
    Layout(800);
    auto log = Paint();
    ASSERT_FALSE(log.empty());
    EXPECT_THAT(log, ::testing::Contains(::testing::StartsWith("text 0 16 ")));
    doc->SelB = 3;
    doc->SelE = 5;
    log = Paint();
    // The selected piece is drawn white on black.
    bool found = false;
    for (const auto& l : log)
        if (l.rfind("text", 0) == 0 && l.find("#FFFFFF") != std::string::npos && l.find("cd") != std::string::npos)
            found = true;
    EXPECT_TRUE(found) << ::testing::PrintToString(log);
}

// A long paragraph of many runs and hard breaks far apart: each line takes
// as many words as fit (8 px a letter, 4 px a space), ends after a space or
// at a hard break, and the lines hold the whole text in order.
TEST_F(LayoutTest, ALongParagraphOfManyRunsFillsEveryLine) {
    auto* s = new TSection(cell, nullptr, ParserPropStack.Top(), nullptr, true);
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        std::string word(static_cast<size_t>(1 + i % 7), static_cast<char>('a' + i % 26));
        word += i % 700 == 699 ? "\n" : " ";
        text += word;
        AddText(s, word);
        if (i % 5 == 0) {
            s->ChangeFont(Push("span", i % 10 == 0 ? "color:red" : "color:blue"));
            Pop();
        }
    }
    cell->Add(s, static_cast<int>(src_));
    EXPECT_GT(s->Fonts.Count(), 500);
    const int width = 203;
    Layout(width);
    const std::vector<std::string> lines = LineTexts(*s);
    std::string joined;
    int hardBreaks = 0;
    auto wordsWidth = [](const std::string& t) {
        int w = 0;
        for (char c : t) w += c == ' ' ? 4 : 8;
        return w;
    };
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        joined += line;
        ASSERT_FALSE(line.empty());
        if (line.back() == '|') {
            ++hardBreaks;
            continue;
        }
        ASSERT_EQ(line.back(), ' ') << k;
        const std::string shown = line.substr(0, line.find_last_not_of(' ') + 1);
        EXPECT_LE(wordsWidth(shown), width) << k;
        if (k + 1 < lines.size()) {
            const std::string& next = lines[k + 1];
            const std::string firstWord = next.substr(0, next.find_first_of(" |"));
            EXPECT_GT(wordsWidth(line + firstWord), width) << k;
        }
    }
    std::string expected;
    for (char c : text) expected += c == '\n' ? '|' : c;
    EXPECT_EQ(joined, expected);
    EXPECT_EQ(hardBreaks, 4);
}

// A line's inline borders: a copied line keeps a list of its own, and a line
// cleared for the next drawing holds none.
TEST(LineBordersTest, CopiesAreApartAndClearingEmpties) {
    LineRec a;
    EXPECT_TRUE(a.BorderList.empty());
    EXPECT_EQ(a.BorderList.begin(), a.BorderList.end());
    BorderRec br;
    br.BStart = 2;
    br.BEnd = 5;
    a.BorderList.push_back(br);
    LineRec b = a;
    b.BorderList.push_back(br);
    ASSERT_EQ(a.BorderList.size(), 1u);
    EXPECT_EQ(b.BorderList.size(), 2u);
    EXPECT_EQ(a.BorderList.begin()->BEnd, 5);

    LineRec moved = std::move(b);
    EXPECT_EQ(moved.BorderList.size(), 2u);
    a.BorderList.clear();
    EXPECT_TRUE(a.BorderList.empty());
    int seen = 0;
    for (const BorderRec& r : moved.BorderList) seen += r.BStart;
    EXPECT_EQ(seen, 4);
}

}  // namespace
}  // namespace layout_test

// The parser gives each element its set through PushCascade, which
// remembers results by what they were made from. Whatever it remembers, every
// element must get exactly the set that Inherit and Combine make for it on the
// same stack: these walks repeat elements in contexts that must tell them apart.
#include <gmock/gmock.h>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "html/reader/viewer_types.h"
#include "platform/gui/font_service.h"
#include "reader_fixture.h"

namespace {

class RememberedCascade : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetFontService(&fonts_);
        styles_.Initialize("Times New Roman", "Courier New", 10, 5, 0, true, 0x0000FF, 0x800080, 0xFF0000, 0, 12);
        DoStyleText(&styles_,
                    "div p {margin-top: 30px} #box p {color: red} .c p {font-size: 20pt}"
                    " p.x {text-align: center} td {font-weight: bold}",
                    "");
        ParserPropStack.Clear();
        auto bottom = std::make_unique<TProperties>();
        bottom->CopyDefaultFont(*styles_.DefProp);
        ParserPropStack.Add(std::move(bottom));
    }
    void TearDown() override {
        ParserPropStack.Clear();
        SetFontService(previous_);
    }

    // Pushes an element as the parser does, after checking its set against
    // one made by Inherit and Combine in the same place on the stack.
    TProperties* Push(const std::string& tag, const std::string& cls = "", const std::string& id = "",
                      const TProperties* style = nullptr, const std::string& title = "") {
        return PushWith(styles_, tag, cls, id, style, title);
    }
    TProperties* PushWith(TStyleList& styles, const std::string& tag, const std::string& cls = "",
                          const std::string& id = "", const TProperties* style = nullptr,
                          const std::string& title = "") {
        TProperties* parent = ParserPropStack.Top();
        auto fresh = std::make_unique<TProperties>();
        TProperties* expected = fresh.get();
        expected->Inherit(tag, *parent);
        ParserPropStack.Add(std::move(fresh));
        expected->Combine(&styles, tag, cls, id, "", title, style);
        reference_ = ParserPropStack.Extract(ParserPropStack.Count() - 1);

        TProperties* got = PushCascade(&styles, tag, cls, id, "", title, style);
        EXPECT_EQ(got, ParserPropStack.Top());
        ExpectSame(*got, *reference_, tag + "." + cls + "#" + id);
        return got;
    }
    // The same change made to the last set pushed and to the one Inherit and
    // Combine made for it.
    template <typename Change>
    void ChangeBoth(TProperties* got, Change change, const std::string& what) {
        change(*got);
        change(*reference_);
        ExpectSame(*got, *reference_, what);
        ASSERT_EQ(got->TheFont() == nullptr, reference_->TheFont() == nullptr) << what;
        if (got->TheFont()) {
            EXPECT_EQ(got->TheFont()->Name(), reference_->TheFont()->Name()) << what;
            EXPECT_EQ(got->TheFont()->Height(), reference_->TheFont()->Height()) << what;
            EXPECT_EQ(got->TheFont()->Color(), reference_->TheFont()->Color()) << what;
        }
    }
    void Pop() { ParserPropStack.Delete(ParserPropStack.Count() - 1); }

    static void ExpectSame(const TProperties& a, const TProperties& b, const std::string& what) {
        SCOPED_TRACE(what);
        for (int i = 0; i < PropCount; ++i) {
            EXPECT_TRUE(a.Props[static_cast<size_t>(i)] == b.Props[static_cast<size_t>(i)]) << PropWords[i];
            EXPECT_EQ(a.PropSet[static_cast<size_t>(i)], b.PropSet[static_cast<size_t>(i)]) << PropWords[i];
        }
        EXPECT_EQ(a.PropTag, b.PropTag);
        EXPECT_EQ(a.PropClass, b.PropClass);
        EXPECT_EQ(a.PropID, b.PropID);
        EXPECT_EQ(a.PropTitle, b.PropTitle);
        EXPECT_EQ(a.DefFontname, b.DefFontname);
        EXPECT_EQ(a.EmSize, b.EmSize);
        EXPECT_EQ(a.ExSize, b.ExSize);
        EXPECT_EQ(a.CharSet, b.CharSet);
        EXPECT_EQ(a.CodePage, b.CodePage);
        EXPECT_EQ(a.BackgroundColorCache, b.BackgroundColorCache);
        EXPECT_EQ(a.HasFontInfo, b.HasFontInfo);
        ASSERT_EQ(a.PropStyle == nullptr, b.PropStyle == nullptr);
        if (a.PropStyle) {
            EXPECT_TRUE(a.PropStyle->Props == b.PropStyle->Props);
        }
        ASSERT_EQ(a.FontInfoArray == nullptr, b.FontInfoArray == nullptr);
        if (a.FontInfoArray)
            for (size_t k = 0; k < a.FontInfoArray->Ary.size(); ++k) {
                const ThtFontInfo &x = a.FontInfoArray->Ary[k], &y = b.FontInfoArray->Ary[k];
                EXPECT_EQ(x.Name, y.Name) << k;
                EXPECT_EQ(x.Size, y.Size) << k;
                EXPECT_EQ(x.Style, y.Style) << k;
                EXPECT_EQ(x.Color, y.Color) << k;
            }
    }

    TFixedFontService fonts_;
    TFontService* previous_ = nullptr;
    TStyleList styles_;
    std::unique_ptr<TProperties> reference_;
};

TEST_F(RememberedCascade, ContextualRulesFollowTheAncestors) {
    for (int round = 0; round < 3; ++round) {
        Push("body");
        EXPECT_FALSE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        Push("div");
        EXPECT_TRUE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        Pop();
        // Equal parents (changed after their cascade) under other ancestors.
        Push("div");
        Push("td")->Assign(TPropValue("right"), piTextAlign);
        EXPECT_TRUE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        Pop();
        Pop();
        Push("span");
        Push("td")->Assign(TPropValue("right"), piTextAlign);
        EXPECT_FALSE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        Pop();
        Pop();
        Push("div", "", "box");
        TProperties* boxed = Push("p");
        EXPECT_TRUE(boxed->Props[piMarginTop].Is("30px"));
        EXPECT_TRUE(boxed->PropSet[piColor]);
        Pop();
        Push("span", "c");
        EXPECT_NEAR(Push("p")->Props[piFontSize].Real(), 20, 1e-9);
        Pop();
        Pop();
        Pop();
        // The same tag with a class, then without: the class rule stays with it.
        EXPECT_TRUE(Push("p", "x")->Props[piTextAlign].Is("center"));
        Pop();
        EXPECT_FALSE(Push("p")->Props[piTextAlign].Is("center"));
        Pop();
        Pop();
    }
}

TEST_F(RememberedCascade, AParentChangedAfterItsCascadePassesTheChangeOn) {
    for (int round = 0; round < 2; ++round) {
        Push("table");
        Push("tr");
        TProperties* right = Push("td");
        right->Assign(TPropValue("right"), piTextAlign);
        EXPECT_TRUE(Push("p")->Props[piTextAlign].Is("right"));
        Pop();
        Pop();
        Push("td");
        EXPECT_FALSE(Push("p")->Props[piTextAlign].Is("right"));
        Pop();
        Pop();
        // A font made for the cell sets its em size, which the paragraph inherits.
        auto big = StyleAttributes("font-size:24pt");
        TProperties* cell = Push("td", "", "", big->GetStyle());
        const int before = Push("p")->EmSize;
        Pop();
        cell->EnsureFont();
        EXPECT_NE(Push("p")->EmSize, before);
        Pop();
        Pop();
        Pop();
        Pop();
    }
}

TEST_F(RememberedCascade, StyleSetsTitlesAndNewRulesAreTakenIntoAccount) {
    auto right = StyleAttributes("text-align:right"), left = StyleAttributes("text-align:left");
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(Push("p", "", "", right->GetStyle())->Props[piTextAlign].Is("right"));
        Pop();
        EXPECT_TRUE(Push("p", "", "", left->GetStyle())->Props[piTextAlign].Is("left"));
        Pop();
        EXPECT_EQ(Push("p", "", "", nullptr, "dica")->PropTitle, "dica");
        Pop();
        EXPECT_EQ(Push("p")->PropTitle, "");
        Pop();
    }
    // A rule read in the middle of the document (a STYLE in its body).
    EXPECT_FALSE(Push("p")->PropSet[piColor]);
    Pop();
    styles_.AddSelectorProp("p", "color", "green");
    EXPECT_TRUE(Push("p")->PropSet[piColor]);
    Pop();
    // A style set built by hand has no lasting identity: it is read each time.
    TProperties own;
    own.AddPropertyByName("text-align", "center");
    EXPECT_TRUE(Push("p", "", "", &own)->Props[piTextAlign].Is("center"));
    Pop();
    own.AddPropertyByName("text-align", "justify");
    EXPECT_TRUE(Push("p", "", "", &own)->Props[piTextAlign].Is("justify"));
    Pop();
}

// Cells of a long table get the same attributes and fonts one after another;
// whatever is remembered of that, each gets what the change itself makes.
TEST_F(RememberedCascade, AttributesAndFontsOnRememberedSets) {
    for (int round = 0; round < 3; ++round) {
        Push("table");
        for (int i = 0; i < 4; ++i) {
            TProperties* cell = Push("td");
            const TPropValue align(i % 2 ? "right" : "center");
            ChangeBoth(cell, [&](TProperties& p) { p.Assign(align, piTextAlign); }, "align");
            ChangeBoth(cell, [&](TProperties& p) { p.Assign(TPropValue(i), piColor); }, "colour");
            ChangeBoth(cell, [&](TProperties& p) { p.Assign(TPropValue(9), piColor); }, "colour again");
            ChangeBoth(cell, [](TProperties& p) { p.EnsureFont(); }, "font");
            // The font stays as made when the size changes after it.
            ChangeBoth(cell, [&](TProperties& p) { p.Assign(TPropValue(10.0 + i % 2), piFontSize); }, "size");
            EXPECT_TRUE(Push("p")->Props[piTextAlign] == align);
            Pop();
            Pop();
        }
        Pop();
    }
}

// More values given to one state than it keeps changes for, in turn.
TEST_F(RememberedCascade, ManyValuesGivenToOneState) {
    Push("table");
    for (int i = 0; i < 300; ++i) {
        TProperties* cell = Push("td");
        ChangeBoth(cell, [&](TProperties& p) { p.Assign(TPropValue(i % 20), piColor); }, std::to_string(i));
        Pop();
    }
    Pop();
}

// Children of a link carry its fonts, which a colour attribute changes.
TEST_F(RememberedCascade, AttributesOnSetsWithLinkFonts) {
    PushCascade(&styles_, "a", "", "", "link", "", nullptr);
    for (int i = 0; i < 4; ++i) {
        TProperties* font = Push("font");
        ASSERT_TRUE(font->FontInfoArray);
        ChangeBoth(font, [&](TProperties& p) { p.Assign(TPropValue(0x00FF00 + i % 2), piColor); }, "colour");
        ChangeBoth(font, [&](TProperties& p) { p.Assign(TPropValue("Arial"), piFontFamily); }, "face");
        Pop();
    }
    Pop();
}

// A font remembered for a state is made again when the installed faces change.
TEST_F(RememberedCascade, FontsFollowTheInstalledFaces) {
    DoStyleText(&styles_, "p {font-family: Verdana, Courier New}", "");
    Push("div");
    for (int round = 0; round < 4; ++round) {
        if (round % 2) SetFontInstalledCheck([](const std::string& face) { return face == "courier new"; });
        else SetFontInstalledCheck(nullptr);
        ChangeBoth(Push("p"), [](TProperties& p) { p.EnsureFont(); }, "font");
        EXPECT_EQ(ParserPropStack.Top()->TheFont()->Name(), round % 2 ? "courier new" : "verdana");
        Pop();
    }
    SetFontInstalledCheck(nullptr);
    Pop();
}

// An entry taken out of the middle of the stack (a misnested end tag) changes
// the ancestors of those above it.
TEST_F(RememberedCascade, AnEntryRemovedBelowChangesTheContext) {
    for (int round = 0; round < 2; ++round) {
        Push("div");
        Push("span");
        EXPECT_TRUE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        ParserPropStack.Delete(1);
        for (int k = 1; k < ParserPropStack.Count(); ++k)
            ParserPropStack[k]->Reinherit(*ParserPropStack[k - 1], &styles_, k);
        EXPECT_FALSE(Push("p")->Props[piMarginTop].Is("30px"));
        Pop();
        Pop();
    }
}

// One parent with many kinds of children (each its own id) keeps giving each
// child its own set, the first ones again after all the others.
TEST_F(RememberedCascade, ManyKindsOfChildren) {
    DoStyleText(&styles_, "#n3 {color: blue} #n40 {color: green}", "");
    Push("div");
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 50; ++i) {
            TProperties* p = Push("p", "", "n" + std::to_string(i));
            EXPECT_EQ(p->PropSet[piColor], i == 3 || i == 40) << i;
            Pop();
        }
    Pop();
}

// Two documents' style lists pushing on one stack in turn: each one's
// remembered results stay its own.
TEST_F(RememberedCascade, TwoStyleListsInTurn) {
    TStyleList other;
    other.Initialize("Arial", "Courier New", 10, 5, 0, true, 0x0000FF, 0x800080, 0xFF0000, 0, 12);
    DoStyleText(&other, "div p {margin-top: 40px}", "");
    for (int round = 0; round < 3; ++round) {
        PushWith(other, "span");
        EXPECT_FALSE(PushWith(other, "p")->Props[piMarginTop].Is("40px"));
        Pop();
        Pop();
        PushWith(styles_, "div");
        EXPECT_TRUE(PushWith(other, "p")->Props[piMarginTop].Is("40px"));
        Pop();
        EXPECT_TRUE(PushWith(styles_, "p")->Props[piMarginTop].Is("30px"));
        Pop();
        Pop();
    }
}

// Thousands of different parents (each cell with its own colour) stay
// correct when the remembered states run over their limit.
TEST_F(RememberedCascade, ManyDifferentParents) {
    Push("table");
    for (int i = 0; i < 2500; ++i) {
        TProperties* cell = Push("td");
        cell->Assign(TPropValue(i), piColor);
        TProperties* p = Push("p");
        ASSERT_EQ(p->Props[piColor].Int(), i);
        Pop();
        Pop();
    }
    Pop();
}

}  // namespace

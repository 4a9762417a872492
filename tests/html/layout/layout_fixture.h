#pragma once
// Builds small documents directly, the way the element handlers do, and lays
// them out with the fixed-metric font service: for a 12 pt face (16 px em)
// every character is 8 px wide, a space 4 px, a line 20 px high with a
// descent of 4.
#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

#include "html/images/viewer_globals.h"
#include "html/layout/blocks.h"
#include "html/layout/document.h"
#include "html/layout/section.h"
#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"

namespace layout_test {

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetFontService(&fonts_);
        doc = std::make_unique<TSectionList>(nullptr, nullptr);
        doc->SetFonts("Times New Roman", "Courier New", 0, 0, 0, true, false, clWhite, clRed, clPurple, clBlue,
                      clBlack, 12);
        ParserPropStack.Clear();
        auto bottom = std::make_unique<TProperties>();
        bottom->CopyDefaultFont(*doc->Styles->DefProp);
        ParserPropStack.Add(std::move(bottom));
        ParserNoBreak = false;
        ResetFitCache();
        cell = doc.get();
    }
    void TearDown() override {
        doc.reset();
        ParserPropStack.Clear();
        SetFontService(previous_);
        ResetFitCache();
    }

    // A style sheet for the document.
    void Sheet(const std::string& css) {
        size_t pos = 0;
        unsigned char ch = '>';
        DoStyle(doc->Styles,
                [&]() -> unsigned char { return pos < css.size() ? static_cast<unsigned char>(css[pos++]) : 0; }, ch,
                "", false);
    }

    TProperties* Push(const std::string& tag, const std::string& style = "", const std::string& cls = "") {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        raw->Inherit(tag, *ParserPropStack.Top());
        ParserPropStack.Add(std::move(p));
        TProperties* attr = nullptr;
        if (!style.empty()) {
            styleAttrs_.push_back(std::make_unique<TProperties>());
            attr = styleAttrs_.back().get();
            ParsePropertyStr(style, attr);
        }
        raw->Combine(doc->Styles, tag, cls, "", "", "", attr);
        return raw;
    }
    void Pop() { ParserPropStack.Delete(ParserPropStack.Count() - 1); }

    // A paragraph of the given text in the current cell, built with the top
    // properties; "\n" stands for a hard break and "~" for a soft hyphen.
    TSection* Para(const std::string& text, TCellBasic* into = nullptr, TUrlTarget* url = nullptr) {
        TCellBasic* c = into ? into : cell;
        auto* s = new TSection(c, nullptr, ParserPropStack.Top(), url, true);
        AddText(s, text);
        c->Add(s, static_cast<int>(src_));
        return s;
    }
    void AddText(TSection* s, const std::string& text) {
        TokenObj t;
        for (char ch : text) {
            char16_t c = static_cast<unsigned char>(ch);
            if (ch == '\n') c = 8;
            if (ch == '~') c = 173;
            t.AddUnicodeChar(c, static_cast<int>(src_++));
        }
        s->AddTokenObj(t);
    }
    TBlock* Block(const std::string& tag, const std::string& style = "", TCellBasic* into = nullptr) {
        TCellBasic* c = into ? into : cell;
        TProperties* p = Push(tag, style);
        auto* b = new TBlock(c, p, c, nullptr);
        c->Add(b, static_cast<int>(src_));
        Pop();
        return b;
    }

    int Layout(int width) {
        int maxWidth = 0, curs = 0;
        height = doc->Layout(canvas, 0, width, 600, 0, maxWidth, curs);
        return height;
    }
    std::vector<std::string> Paint(int width = 800, int height = 600) {
        std::vector<std::string> log;
        canvas.SetRecorder(&log);
        doc->Draw(canvas, TRect{0, 0, width, height}, width, 0, 0, 0, 0);
        canvas.SetRecorder(nullptr);
        return log;
    }
    // Paint() as one text, a call a line, as golden files hold it.
    std::string PaintText() {
        std::string text;
        for (const std::string& l : Paint()) text += l + "\n";
        return text;
    }
    // The text of each line of a section.
    static std::vector<std::string> LineTexts(const TSection& s) {
        std::vector<std::string> out;
        for (const LineRec& lr : s.Lines) {
            std::string t;
            for (int i = 0; i < lr.Ln; ++i) {
                const char16_t c = s.BuffS[static_cast<size_t>(lr.Start + i)];
                t += c == 8 ? '|' : c == 4 ? '#' : static_cast<char>(c);
            }
            out.push_back(t);
        }
        return out;
    }
    static std::string Text(const TSection& s) {
        std::string t;
        for (char16_t c : s.BuffS) t += c == 8 ? '|' : c == 4 ? '#' : static_cast<char>(c);
        return t;
    }

    TFixedFontService fonts_;
    TFontService* previous_ = nullptr;
    TViewerGlobalsUse globals_;
    TCanvas canvas;
    std::unique_ptr<TSectionList> doc;
    TCellBasic* cell = nullptr;
    int height = 0;
    size_t src_ = 0;
    std::vector<std::unique_ptr<TProperties>> styleAttrs_;
};

}  // namespace layout_test

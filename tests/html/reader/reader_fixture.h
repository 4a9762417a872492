#pragma once
// Reads a document through the tokenizer the way the element handlers do:
// a bottom property set on the parser stack, the text prepared, then Next
// until the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/reader/html_tokenizer.h"
#include "html/reader/style_props.h"

// An attribute list holding only STYLE=style.
inline std::unique_ptr<TAttributeList> StyleAttributes(const std::string& style) {
    auto l = std::make_unique<TAttributeList>();
    auto a = std::make_unique<TAttribute>();
    a->Symbol = StyleSy;
    a->AttrName = "STYLE";
    a->TextValue = style;
    l->Add(std::move(a));
    return l;
}

struct ReadSymbol {
    Symb sy;
    int level;
    std::u16string text;
    std::vector<int> positions;
    std::vector<TAttribute> attributes;
};

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ParserPropStack.Clear();
        auto bottom = std::make_unique<TProperties>();
        bottom->AssignCharSet(0);
        ParserPropStack.Add(std::move(bottom));
        Readhtml::IncludeEvent = nullptr;
        Readhtml::IDNameList = nullptr;
    }
    void TearDown() override {
        Readhtml::EndTokenizer();
        Readhtml::IncludeEvent = nullptr;
        ParserPropStack.Clear();
    }

    std::vector<ReadSymbol> Read(const std::string& doc, int limit = 100000) {
        std::vector<ReadSymbol> out;
        Readhtml::InitTokenizer(doc);
        Readhtml::GetCh();
        for (int n = 0; n < limit; ++n) {
            Readhtml::Next();
            ReadSymbol s{Readhtml::Sy, Readhtml::Level, Readhtml::Token->GetString(), {}, {}};
            s.positions.assign(Readhtml::Token->I.begin(), Readhtml::Token->I.begin() + Readhtml::Token->Leng);
            if (Readhtml::Sy != TextSy)
                for (int i = 0; i < Readhtml::Attributes->Count(); ++i) s.attributes.push_back(*(*Readhtml::Attributes)[i]);
            out.push_back(s);
            if (Readhtml::Sy == EofSy) break;
        }
        return out;
    }

    // The text of all text symbols joined.
    static std::u16string Text(const std::vector<ReadSymbol>& symbols) {
        std::u16string t;
        for (const ReadSymbol& s : symbols)
            if (s.sy == TextSy) t += s.text;
        return t;
    }
    static std::vector<Symb> Symbols(const std::vector<ReadSymbol>& symbols) {
        std::vector<Symb> r;
        for (const ReadSymbol& s : symbols) r.push_back(s.sy);
        return r;
    }
};

#pragma once
// Parses documents into a fresh section list with the fixed-metric font
// service, and renders the result as a compact tree for comparisons.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "html/layout/doc_dump.h"
#include "html/layout/document.h"
#include "html/layout/html_parser.h"
#include "platform/gui/canvas.h"
#include "platform/gui/font_service.h"

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetFontService(&fonts_);
        NewList();
    }
    void TearDown() override {
        list_.reset();
        SetFontService(previous_);
    }

    void NewList() {
        list_ = std::make_unique<TSectionList>(nullptr, nullptr);
        list_->SetFonts("Times New Roman", "Courier New", 10, 5, 0, true, false, clWhite, clBlue, clPurple, clBlue,
                        clBlack, 12);
    }

    TSectionList& Parse(const std::string& html) {
        NewList();
        Readhtml::HtmlParseString(html, list_.get());
        return *list_;
    }

    // Lays the parsed document out at a width; returns its height.
    int Layout(int width) {
        int maxWidth = 0, curs = 0;
        return list_->Layout(canvas_, 0, width, 600, 0, maxWidth, curs);
    }

    std::string Dump() { return DumpDocument(*list_); }

    // The tree without geometry, runs or lines; paragraph texts with their
    // white space collapsed and trimmed.
    std::string Shape(const std::string& html) {
        Parse(html);
        return ShapeOf(*list_);
    }

    static std::string ShapeOf(TSectionList& list) {
        TDumpOptions o;
        o.Geometry = o.Runs = o.Lines = false;
        std::string d = DumpDocument(list, o);
        std::istringstream in(d);
        std::string line, out;
        std::regex attrs(R"( (start|len|align)=\S+)");
        std::regex text(R"(text="(.*)\"$)");
        while (std::getline(in, line)) {
            line = std::regex_replace(line, attrs, "");
            std::smatch m;
            if (std::regex_search(line, m, text)) {
                std::string t = m[1];
                std::string c;
                for (char ch : t)
                    if (!(ch == ' ' && (c.empty() || c.back() == ' '))) c += ch;
                while (!c.empty() && c.back() == ' ') c.pop_back();
                line = line.substr(0, static_cast<size_t>(m.position(0))) + "\"" + c + "\"";
            }
            out += line + "\n";
        }
        return out;
    }

    TFixedFontService fonts_;
    TFontService* previous_ = nullptr;
    std::unique_ptr<TSectionList> list_;
    TCanvas canvas_;
};

// Style sheets and style attributes: any bytes are parsed into rules and
// property sets that the cascade and the value conversions then read,
// never a crash and never a hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    TStyleList styles;
    styles.Initialize("Arial", "Courier New", 10, 5, 0, true, 0xFF, 0x800080, 0xFF0000, 0, 12);
    DoStyleText(&styles, text, size % 2 ? "http://host/css/" : "C:\\css\\");
    size_t pos = 0;
    unsigned char ch = '>';
    DoStyle(&styles, [&]() -> unsigned char { return pos < size ? data[pos++] : 0; }, ch, "", false);

    TProperties attr;
    ParsePropertyStr(text, &attr);

    ParserPropStack.Clear();
    auto bottom = std::make_unique<TProperties>();
    bottom->CopyDefaultFont(*styles.DefProp);
    ParserPropStack.Add(std::move(bottom));
    const char* tags[] = {"div", "p", "a", "span", "td", "li", "b"};
    for (const char* tag : tags) {
        auto p = std::make_unique<TProperties>();
        TProperties* raw = p.get();
        raw->Inherit(tag, *ParserPropStack.Top());
        ParserPropStack.Add(std::move(p));
        raw->Combine(&styles, tag, "x.y", "main", std::string(tag) == "a" ? "link" : "", "t", &attr);
        MargArrayO o;
        MargArray m{};
        int autoCount;
        bool topAuto, bottomAuto, percent;
        raw->GetBorderStyles(o);
        ConvMargArray(o, 400, 300, raw->EmSize, raw->ExSize, autoCount, m);
        ConvInlineMargArray(o, 400, m, raw->EmSize, raw->ExSize);
        ConvVertMargins(o, raw->EmSize, raw->ExSize, m);
        raw->GetVMarginArray(m, topAuto, bottomAuto);
        PositionRecArray bg;
        raw->GetBackgroundPos(raw->EmSize, raw->ExSize, bg);
        raw->GetLineHeight(20);
        raw->GetTextIndent(percent);
        ThtFontInfo info;
        raw->GetFontInfo(info);
    }
    ParserPropStack.Clear();
    return 0;
}

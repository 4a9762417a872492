// HTML documents: any bytes are read to the end, with their embedded style
// sheets, style attributes and the cascade of every element, never a crash
// and never a hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "html/reader/html_tokenizer.h"
#include "html/reader/style_parser.h"
#include "html/reader/style_props.h"

using namespace Readhtml;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    static TStyleList styles;
    styles.Initialize("Times New Roman", "Courier New", 10, 5, 0, true, 0xFF, 0x800080, 0xFF0000, 0, 12);
    ParserPropStack.Clear();
    auto bottom = std::make_unique<TProperties>();
    bottom->CopyDefaultFont(*styles.DefProp);
    ParserPropStack.Add(std::move(bottom));
    TIDNameList ids;
    IDNameList = &ids;
    IncludeEvent = [](TObject*, const std::string& command, std::unique_ptr<TStringList>, std::string& text) {
        if (command == "x") text = "<b>in</b><!--#x-->";
    };

    std::string doc(reinterpret_cast<const char*>(data), size);
    try {
        InitTokenizer(doc);
        GetCh();
        // Every call consumes a character or turns a control character into
        // text, and includes are bounded: more calls than this is a hang.
        const long long limit = 4LL * static_cast<long long>(DocS.size()) + (40LL << 20) + 100;
        for (long long n = 0;; ++n) {
            if (n > limit) abort();
            Next();
            if (Sy == EofSy) break;
            if (Sy == StyleSy) {
                DoStyle(&styles, [] { GetChBasic(); return Ch; }, Ch, "", false, [] { return PeekChar(); });
                LCh = Ch;
                continue;
            }
            if (Sy == TextSy) continue;
            std::string tag = TagNameOfSymbol(Sy);
            if (!tag.empty() && ParserPropStack.Count() < 64) {
                const TProperties* style = Attributes->GetStyle();
                auto p = std::make_unique<TProperties>();
                TProperties* raw = p.get();
                raw->Inherit(tag, *ParserPropStack.Top());
                ParserPropStack.Add(std::move(p));
                const TAttribute* href = Attributes->Find(HRefSy);
                raw->Combine(&styles, tag, Attributes->GetClass(), Attributes->GetID(), href ? "link" : "",
                             Attributes->GetTitle(), style);
                MargArrayO o;
                MargArray m{};
                int autoCount;
                raw->GetBorderStyles(o);
                ConvMargArray(o, 400, 300, raw->EmSize, raw->ExSize, autoCount, m);
            }
            std::string end = TagNameOfEndSymbol(Sy);
            if (!end.empty()) {
                for (int i = ParserPropStack.Count() - 1; i > 0; --i) {
                    if (ParserPropStack[i]->PropTag != end) continue;
                    ParserPropStack.Delete(i);
                    for (int k = i; k < ParserPropStack.Count(); ++k)
                        ParserPropStack[k]->Reinherit(*ParserPropStack[k - 1], &styles, k);
                    break;
                }
            }
        }
    } catch (const EParseError&) {
    }
    EndTokenizer();
    ParserPropStack.Clear();
    IDNameList = nullptr;
    IncludeEvent = nullptr;
    return 0;
}

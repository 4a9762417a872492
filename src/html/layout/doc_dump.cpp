#include "html/layout/doc_dump.h"

#include <cstdio>
#include <sstream>

#include "html/layout/blocks.h"
#include "html/layout/document.h"
#include "html/layout/section.h"
#include "html/layout/table_layout.h"

namespace {

std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

std::string Hex(unsigned v) {
    char b[16];
    std::snprintf(b, sizeof b, "%06X", v & 0xFFFFFFu);
    return b;
}

std::string ColorText(TColor c) {
    if (c == clNone) return "none";
    if (static_cast<unsigned>(c) & 0x80000000u) return "sys" + std::to_string(static_cast<unsigned>(c) & 0xFF);
    return "#" + Hex(static_cast<unsigned>(c));
}

void Box(std::ostringstream& o, const TSectionBase& s, const TDumpOptions& opt, int len) {
    o << " start=" << s.StartCurs << " len=" << len;
    if (opt.Geometry) o << " y=" << s.YDraw << " h=" << s.SectionHeight << " draw=" << s.DrawTop << ".." << s.DrawBot;
}

void Box(std::ostringstream& o, const TSectionBase& s, const TDumpOptions& opt) { Box(o, s, opt, s.Len); }

void DumpInto(std::ostringstream& o, TSectionBase& s, int depth, const TDumpOptions& opt);

void DumpCellInto(std::ostringstream& o, TCellBasic& cell, int depth, const TDumpOptions& opt) {
    for (const auto& s : cell) DumpInto(o, *s, depth, opt);
}

void DumpTable(std::ostringstream& o, ThtmlTable& t, int depth, const TDumpOptions& opt) {
    o << Indent(depth) << "Table rows=" << t.Rows.Count() << " cols=" << t.NumCols << " border=" << t.BorderWidth
      << " padding=" << t.CellPadding << " spacing=" << t.CellSpacing;
    Box(o, t, opt);
    if (opt.Geometry) {
        o << " width=" << t.TableWidth << " widths=[";
        for (size_t i = 0; i < t.Widths.size(); ++i) o << (i ? "," : "") << t.Widths[i];
        o << "] heights=[";
        for (size_t i = 0; i < t.Heights.size(); ++i) o << (i ? "," : "") << t.Heights[i];
        o << "]";
    }
    o << "\n";
    for (int r = 0; r < t.Rows.Count(); ++r) {
        TCellList* row = t.Rows[r];
        o << Indent(depth + 1) << "Row " << r << " type=" << int(row->RowType);
        if (row->BkGnd) o << " bg=" << ColorText(row->BkColor);
        o << "\n";
        for (int c = 0; c < row->Count(); ++c) {
            TCellObj* cell = (*row)[c];
            if (!cell) {
                o << Indent(depth + 2) << "Empty " << c << "\n";
                continue;
            }
            if (cell->IsDummy()) {
                o << Indent(depth + 2) << "Dummy " << c << "\n";
                continue;
            }
            o << Indent(depth + 2) << "Cell " << c << " span=" << cell->ColSpan << "x" << cell->RowSpan
              << " valign=" << int(cell->VAlign);
            if (cell->SpecWd) o << " specwd=" << cell->SpecWd << (cell->WidthPercent ? "%" : "");
            if (cell->Cell->BkGnd) o << " bg=" << ColorText(cell->Cell->BkColor);
            if (cell->Cell->Link && !cell->Cell->Link->Url.empty()) o << " href=" << cell->Cell->Link->Url;
            if (opt.Geometry) o << " wd=" << cell->Wd << " ht=" << cell->Ht << " vsize=" << cell->VSize << " yindent=" << cell->YIndent;
            o << "\n";
            DumpCellInto(o, *cell->Cell, depth + 3, opt);
        }
    }
}

void DumpParagraph(std::ostringstream& o, TSection& s, int depth, const TDumpOptions& opt) {
    o << Indent(depth) << (s.IsPreFormated() ? "Pre" : "Section");
    Box(o, s, opt);
    o << " align=" << int(s.Justify);
    if (s.ClearAttr) o << " clear=" << int(s.ClearAttr);
    o << " text=\"" << DumpText(s.BuffS) << "\"\n";
    if (opt.Runs)
        for (const auto& f : s.Fonts) {
            o << Indent(depth + 1) << "Run pos=" << f->Pos;
            if (f->TheFont) {
                const TMyFont& font = *f->TheFont;
                o << " font=\"" << font.Name() << "\" size=" << font.Size();
                TFontStyles st = font.Style();
                if (st & fsBold) o << " b";
                if (st & fsItalic) o << " i";
                if (st & fsUnderline) o << " u";
                if (st & fsStrikeOut) o << " s";
                o << " color=" << ColorText(font.Color());
            }
            if (!f->Link().URL.empty()) o << " href=" << f->Link().URL;
            if (f->SScript) o << " script=" << int(f->SScript);
            o << "\n";
        }
    for (const auto& img : s.Images)
        o << Indent(depth + 1) << (img->IsPanel() ? "Panel" : "Image") << " pos=" << img->Pos
          << " align=" << int(img->Floating) << "\n";
    for (const auto* c : s.FormControls) o << Indent(depth + 1) << "Control pos=" << c->Pos << " name=" << c->FName << "\n";
    if (opt.Lines && opt.Geometry)
        for (const LineRec& l : s.Lines)
            o << Indent(depth + 1) << "Line start=" << l.Start << " len=" << l.Ln << " ht=" << l.LineHt
              << " indent=" << l.LineIndent << " before=" << l.SpaceBefore << " after=" << l.SpaceAfter << "\n";
}

void DumpInto(std::ostringstream& o, TSectionBase& s, int depth, const TDumpOptions& opt) {
    if (auto* t = dynamic_cast<ThtmlTable*>(&s)) {
        DumpTable(o, *t, depth, opt);
        return;
    }
    if (auto* p = dynamic_cast<TSection*>(&s)) {
        if (p->InPlaceOfBlock) {
            // Shown as the block it stands for, which would have its geometry
            // (and no length before its first layout).
            o << Indent(depth) << "Block tag=p";
            Box(o, s, opt, s.YDraw == TSectionBase::NotLaidOut ? 0 : s.Len);
            if (opt.Geometry) o << " x=0 w=" << p->AvailableWidth;
            o << "\n";
            ++depth;
        }
        DumpParagraph(o, *p, depth, opt);
        return;
    }
    if (auto* b = dynamic_cast<TBlock*>(&s)) {
        const char* kind = dynamic_cast<TTableAndCaptionBlock*>(b) ? "TableAndCaption"
                           : dynamic_cast<TTableBlock*>(b)         ? "TableBlock"
                           : dynamic_cast<TBlockLI*>(b)            ? "ListItem"
                           : dynamic_cast<TBodyBlock*>(b)          ? "Body"
                           : dynamic_cast<THRBlock*>(b)            ? "HRBlock"
                                                                   : "Block";
        o << Indent(depth) << kind;
        if (!b->MyCell->OwnersTag.empty()) o << " tag=" << b->MyCell->OwnersTag;
        if (b->FloatLR) o << " float=" << int(b->FloatLR);
        Box(o, s, opt);
        if (opt.Geometry) o << " x=" << b->ContentLeft << " w=" << b->NewWidth;
        o << "\n";
        DumpCellInto(o, *b->MyCell, depth + 1, opt);
        return;
    }
    if (auto* e = dynamic_cast<TEmptyParagraph*>(&s)) {
        // Shown as the block it stands for.
        o << Indent(depth) << "Block tag=p";
        Box(o, s, opt);
        if (opt.Geometry) o << " x=0 w=" << e->LaidOutWidth;
        o << "\n";
        return;
    }
    const char* kind = dynamic_cast<THorzLine*>(&s) ? "Rule" : dynamic_cast<TPage*>(&s) ? "PageBreak" : "SectionBase";
    o << Indent(depth) << kind;
    Box(o, s, opt);
    o << "\n";
}

}  // namespace

std::string DumpText(const std::u16string& t) {
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        uint32_t c = t[i];
        if (c == 8) {
            out += "\\n";
            continue;
        }
        if (c == 4) {
            out += "\\o";
            continue;
        }
        if (c == 2) {
            out += "\\p";
            continue;
        }
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x20) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            out += b;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string DumpSection(TSectionBase& Section, int Depth, const TDumpOptions& Options) {
    std::ostringstream o;
    DumpInto(o, Section, Depth, Options);
    return o.str();
}

std::string DumpCell(TCellBasic& Cell, int Depth, const TDumpOptions& Options) {
    std::ostringstream o;
    DumpCellInto(o, Cell, Depth, Options);
    return o.str();
}

std::string DumpDocument(TSectionList& List, const TDumpOptions& Options) {
    std::ostringstream o;
    o << "Document len=" << List.Len << "\n";
    DumpCellInto(o, List, 1, Options);
    return o.str();
}

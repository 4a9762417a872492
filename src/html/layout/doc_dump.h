#pragma once
// A text rendering of a document tree for tests and golden files: every
// section with its kind, document positions and laid-out box, blocks with
// their content, tables with their grid, column widths and row heights,
// cells with their spans and boxes, paragraphs with their text (UTF-8, hard
// breaks as "\n", objects as "\o"), font runs and lines. One item a line,
// indented by depth.
#include <string>

class TSectionList;
class TCellBasic;
class TSectionBase;

struct TDumpOptions {
    bool Geometry = true;  // laid-out positions and sizes
    bool Runs = true;      // font runs
    bool Lines = true;     // laid-out lines
};

std::string DumpDocument(TSectionList& List, const TDumpOptions& Options = {});
std::string DumpCell(TCellBasic& Cell, int Depth, const TDumpOptions& Options = {});
std::string DumpSection(TSectionBase& Section, int Depth, const TDumpOptions& Options = {});
// UTF-16 to UTF-8 with the placeholders shown: #8 "\n", #4 "\o", #2 "\p".
std::string DumpText(const std::u16string& Text);

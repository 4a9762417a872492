#pragma once
// The HTML tokenizer: turns a document's text into symbols for the element
// handlers: one per tag (with its attributes, and the level of a heading), a
// text symbol per run of text (wide characters with the source position of
// each), and the end of the text. It skips comments, declarations and server
// blocks, splices in text from the include event, decodes character
// references, collapses white space and prepares the document (NUL bytes,
// UTF-8 signature, JIS and EUC-JP Japanese text).
//
// Its state is unit-wide: one document is read at a time and reading is not
// re-entrant.
#include <functional>
#include <memory>
#include <string>

#include "html/reader/html_symbols.h"
#include "html/reader/viewer_types.h"
#include "platform/runtime/errors.h"

class TObject;
class TIDNameList;

// Raised for a comment or declaration left open at the end of the text.
class EParseError : public Exception {
public:
    using Exception::Exception;
};

// The include event: Sender, the command, its parameters (the handler owns
// them) and the text to splice in (empty for none).
using TIncludeType = std::function<void(TObject* sender, const std::string& command,
                                        std::unique_ptr<TStringList> params, std::string& iString)>;

namespace Readhtml {

enum class TSourceKind { none, document, include };

constexpr unsigned char CR = 13, LF = 10, TAB = 9;

// ---- state ----
extern std::string DocS;
extern TSourceKind SourceKind;
extern size_t DocPtr, DocEnd;
extern std::string IncludeS;
extern size_t IncludePtr, IncludeEnd;
extern TSourceKind SavedSourceKind;
extern unsigned char Ch;   // current character (line breaks folded to CR, TAB to space)
extern unsigned char LCh;  // Ch upper-cased (ASCII letters)
extern int LineFold;       // 0, 1 (last was CR), 2 (last was LF)
extern int CharPos;        // source offset of the last character read
extern int TagPos;         // CharPos of the "<" of the current tag
extern Symb Sy;
extern int Level;          // heading level of H / end H, else 0
extern bool InComment;
extern bool NoCommentMode;
extern bool ScanPass;
extern bool IsUTF8;
extern bool JISConverted;
extern TokenObj* Token;
extern TAttributeList* Attributes;
extern int DocCodePage;

// ---- hooks set by the element handlers ----
// Receives the sender of include events.
extern TObject* IncludeSender;
extern TIncludeType IncludeEvent;
// Progress: called every 4096 bytes of the document (outside the scan pass)
// with consumed * ProgressScale / length. No calls while ProgressScale is 0.
extern std::function<void(int percent)> ReportProgress;
extern int ProgressScale;
// Where ID attributes are recorded (outside the scan pass); nullptr for none.
extern TIDNameList* IDNameList;

// ---- entry points ----

// The tokenizer's share of starting a document: source, positions and flags
// reset, the text prepared (NUL bytes, UTF-8 signature, JIS), DocCodePage
// taken from the bottom entry of ParserPropStack (which the UTF-8 signature
// and JIS text also set). Ch is NUL until the first GetCh.
void InitTokenizer(const std::string& doc);
// Back to the start of the prepared text for a second pass.
void RestartTokenizer();
// Releases the document text.
void EndTokenizer();

void Next();
void GetCh();
void GetChBasic();
unsigned char PeekChar();
void SkipBlanks();
// Decodes a reference at "&" (Ch) into bytes of the code page (attribute
// values, include parameters); an unresolved reference gives its typed text.
std::string GetEntity(int codePage);
// Decodes a reference at "&" into the current text collection and Token, as
// running text does; for raw readers (preformatted text).
void GetTextEntity(TCharCollection& chars, int codePage);
// The code page text is converted with: the top of ParserPropStack.
int CurrentCodePage();

// Recognised charset names: the first key of the table found in the
// lower-cased name gives the charset. "euc-jp" converts the unread document
// to Shift-JIS once and gives 128.
bool TranslateCharset(const std::string& name, int& charset);

// Japanese conversions.
bool IsJIS(const std::string& s);
std::string JISToShiftJis(const std::string& s);
std::string EUCToShiftJis(const std::string& s);

// Named references (HTML 4.01, plus "apos" = 8217), case-sensitive.
bool FindEntity(const std::string& name, int& value);
int EntityCount();

}  // namespace Readhtml

#pragma once
// Sequential text files, as reports and state files are written and read.
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/files.h"

// Writes lines ended by CR LF into a temporary file beside the target; Close
// renames it over the target. Any failure raises EInOutError and the previous
// file stays intact. A writer destroyed without Close discards its output.
class TTextFileWriter {
public:
    explicit TTextFileWriter(const std::string& fileName,  // Rewrite
                             TDurability durability = TDurability::Durable);
    ~TTextFileWriter();
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    void Write(const std::string& text);    // no line end
    void Writeln(const std::string& line);  // line + CR LF
    void Close();                           // commits the file
    bool IsOpen() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The most lines a text file of the program may have. No real file comes
// near it (a case of sixty years has a few thousand); more is damage, and
// holding each line apart would take many times the file's size.
constexpr size_t kMaxTextFileLines = 1000000;

// A text file's bytes as the program's Windows-1252 text. Text in UTF-8 is
// converted: text marked so (it starts with the byte order mark), as a text
// editor may save a case, and unmarked text that reads whole as UTF-8 with
// letters beyond ASCII (otherwise it is Windows-1252 and stays as it is;
// there an accented letter is a lone byte beside plain ones, which is no
// UTF-8). False, with the reason naming the line ("linha 3: ..."), for
// marked text that is not UTF-8 and for UTF-8 holding a character
// Windows-1252 lacks: read byte for byte, "Łukasz" would become another name.
bool DecodeText(std::string bytes, std::string& text, std::string& problem);

// The lines of a text file's bytes (CR LF, LF or CR end a line), as the
// program's own files are read, DecodeText's text; false, with the reason,
// for what DecodeText refuses, for more than kMaxTextFileLines lines, and
// for a last line without its line end: every writer ends each line, so the
// file was cut, and its last value may be a part of itself.
bool ReadTextLines(const std::string& bytes, std::vector<std::string>& lines,
                   std::string& problem);

// Reads a whole file and hands out its lines, as ReadTextLines takes them;
// the text is held whole and each line made as it is read. Reading past the
// end yields empty lines. Opening a missing or unreadable file, one larger
// than maxSize, or one ReadTextLines refuses raises EInOutError (its Reason
// the why alone).
class TTextFileReader {
public:
    explicit TTextFileReader(const std::string& fileName,  // Reset
                             size_t maxSize = kNoSizeLimit);
    std::string Readln();
    bool Eof() const { return next_ >= count_; }
    // How many lines the file has.
    size_t LineCount() const { return count_; }
    void Close() {}

private:
    std::string text_;
    size_t pos_ = 0;  // where the next line starts in text_
    size_t next_ = 0, count_ = 0;
};

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

// The lines of a text file's bytes (CR LF, LF or CR end a line), as the
// program's own files are read; false, with the reason naming the line
// ("linha 3: ..."), for bytes that cannot be taken:
// - a last line without its line end: every writer ends each line, so the
//   file was cut, and its last value may be a part of itself;
// - text in UTF-8 marked so (it starts with the byte order mark), as a text
//   editor may save a case, that is not valid UTF-8 or holds a character
//   Windows-1252 lacks. Valid UTF-8 text is taken as the program's
//   Windows-1252 text, without its mark; so is unmarked text that reads
//   whole as UTF-8 with letters beyond ASCII (otherwise it is Windows-1252).
bool ReadTextLines(const std::string& bytes, std::vector<std::string>& lines,
                   std::string& problem);

// Reads a whole file and hands out its lines, as ReadTextLines takes them.
// Reading past the end yields empty lines. Opening a missing or unreadable
// file, one larger than maxSize, or one ReadTextLines refuses raises
// EInOutError (its Reason the why alone).
class TTextFileReader {
public:
    explicit TTextFileReader(const std::string& fileName,  // Reset
                             size_t maxSize = kNoSizeLimit);
    std::string Readln();
    bool Eof() const;
    // How many lines the file has.
    size_t LineCount() const { return lines_.size(); }
    void Close() {}

private:
    std::vector<std::string> lines_;
    size_t next_ = 0;
};

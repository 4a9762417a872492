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

// Reads a whole file and hands out its lines (CR LF, LF or CR end a line).
// Reading past the end yields empty lines. Opening a missing or unreadable
// file, or one larger than maxSize, raises EInOutError.
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

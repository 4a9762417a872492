#pragma once
// Files and paths. The data directory's files are DataDir + separator + name.
#include <cstddef>
#include <string>

#include "platform/runtime/dates.h"

constexpr char PathDelim = '/';

bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& dir);
// dir + "/" + name; an empty dir gives name.
std::string PathJoin(const std::string& dir, const std::string& name);
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // with trailing separator
std::string ExtractFileExt(const std::string& path);   // with the dot
std::string ChangeFileExt(const std::string& path, const std::string& ext);
bool DeleteFile(const std::string& fileName);
// Fails (false) when `to` already exists, as the runtime's RenameFile does.
bool RenameFile(const std::string& from, const std::string& to);
// Copies a file; with failIfExists set an existing target is kept and false
// returned. The target is replaced atomically. Returns false on any failure.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);

// Whole-file helpers. ReadFileBytes raises EFOpenError; WriteFileAtomic writes
// a temporary file beside the target and renames it over the target, raising
// EFCreateError and leaving the previous file intact on failure.
std::string ReadFileBytes(const std::string& fileName);
void WriteFileAtomic(const std::string& fileName, const std::string& bytes);

// The writer behind WriteFileAtomic, for output produced piece by piece: the
// bytes go to a temporary file in the target's folder and Commit flushes them
// to disk and renames the file over the target (a symbolic link is followed,
// and an existing target's permissions are kept). Any failure raises
// EFCreateError and removes the temporary file; a writer destroyed without
// Commit leaves the target as it was.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::string& fileName);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    void Write(const char* data, size_t size);
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    void Commit();
    void Discard() noexcept;
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& FileName() const { return target_; }

private:
    void Flush();
    [[noreturn]] void Fail(int err);

    std::string target_;  // the file to replace
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
};

// Message text of a system error number, as the runtime's I/O errors show it.
std::string SysErrorText(int err);

// Modification time of a file as a TDateTime (local time); -1 when missing.
TDateTime FileAgeDateTime(const std::string& fileName);
std::string GetTempDir();  // without a trailing separator
std::string GetHomeDir();

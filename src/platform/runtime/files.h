#pragma once
// Files and paths. The data directory's files are DataDir + separator + name.
#include <cstddef>
#include <string>

#include "platform/runtime/dates.h"

constexpr char PathDelim = '/';

// Paths are Windows-1252 text inside the program, like every other string,
// while the system names files in UTF-8. Every function here converts at that
// boundary; code that calls the system with a path itself uses SystemPath,
// and ProgramPath for a path the system gives back.
std::string SystemPath(const std::string& path);
// False when the system's name cannot be held as the program's text (not
// UTF-8, or a character Windows-1252 lacks, as in a folder named in Chinese);
// `path` then shows it as well as it can, with '?' for what cannot be shown.
// Such a path is refused, never used: it would name another file.
bool ProgramPath(const std::string& systemPath, std::string& path);
// "Não foi possível usar <what> "<shown>": o nome tem caracteres ...", and
// the EInOutError that says it.
std::string UnusablePathText(const std::string& what, const std::string& shown);
[[noreturn]] void RaiseUnusablePath(const std::string& what, const std::string& shown);

bool FileExists(const std::string& fileName);
// Whether anything stands at the name: a file, a folder, a link (even to
// nothing), a device.
bool EntryExists(const std::string& path);
bool DirectoryExists(const std::string& dir);
// The current folder; one whose name the program cannot hold raises
// EInOutError (TryGetCurrentDir returns false, with the name as shown).
std::string GetCurrentDir();
bool TryGetCurrentDir(std::string& dir);
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
// returned. The target is replaced atomically. Returns false on any failure,
// with its reason in *reason when given.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
              std::string* reason = nullptr);

// Size limits of the program's own files. No real file comes near them; a
// larger one is damaged, and reading it whole would only exhaust memory.
constexpr size_t kMaxSettingsFileSize = size_t{1} << 20;  // font.ini, prop.ini
constexpr size_t kMaxTableFileSize = size_t{50} << 20;    // .tab
constexpr size_t kMaxStateFileSize = size_t{16} << 20;    // .back, .bev
constexpr size_t kMaxHelpFileSize = size_t{4} << 20;      // help texts, style sheets
// Pages the viewer opens from files. The program's own pages and reports
// are under 1 MB; a page's document takes up to some 450 times the
// page's bytes (a page of empty list items), so this keeps any page the
// viewer accepts under 1 GB.
constexpr size_t kMaxPageFileSize = size_t{2} << 20;
constexpr size_t kNoSizeLimit = static_cast<size_t>(-1);

// Whole-file helpers. ReadFileBytes raises EFOpenError (with the reason in
// Portuguese), also when the file holds more than maxSize bytes; nothing is
// read then. WriteFileAtomic writes a temporary file beside the target and
// renames it over the target, raising EFCreateError and leaving the previous
// file intact on failure.
std::string ReadFileBytes(const std::string& fileName, size_t maxSize = kNoSizeLimit);
void WriteFileAtomic(const std::string& fileName, const std::string& bytes);

// "Não foi possível abrir o arquivo "<file>": <reason>" and its writing twin.
std::string OpenErrorText(const std::string& fileName, const std::string& reason);
std::string CreateErrorText(const std::string& fileName, const std::string& reason);
// The reason of a file larger than its limit.
std::string TooLargeReason(unsigned long long size, size_t maxSize);

// The writer behind WriteFileAtomic, for output produced piece by piece: the
// bytes go to a temporary file in the target's folder and Commit flushes them
// to disk and renames the file over the target (a symbolic link is followed,
// and an existing target's permissions are kept). Any failure raises
// EFCreateError and removes the temporary file (so does a folder held with
// HoldFolderLock whose name leads elsewhere now); a writer destroyed without
// Commit leaves the target as it was. A file that is rebuilt anyway (a
// report) can skip the flush to disk: it is still replaced whole.
//
// The temporary file is ".velorim-save." + name + "." + six letters or
// digits + ".velorim-tmp", locked while it is written. Temporary files of
// that pattern in the folder that no writer holds are left from a save that
// was killed; opening a writer removes them. No other file is touched.
enum class TDurability { Durable, RebuiltOnDemand };

class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(const std::string& fileName,
                               TDurability durability = TDurability::Durable);
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
    // Raises EFCreateError with `why`, or the system's reason for err.
    [[noreturn]] void Fail(int err, const std::string& why = std::string());

    std::string target_;     // the file to replace, as the program names it
    std::string sysTarget_;  // and as the system does
    std::string name_;       // its name in its folder (the system's)
    std::string temp_;       // the temporary file's name there
    TDurability durability_;
    int dirFd_ = -1;         // the folder, opened once
    int fd_ = -1;
    std::string buffer_;
};

// Why a file operation failed, in Portuguese ("o disco está cheio").
std::string SysErrorText(int err);

// True for a name of the temporary-file pattern above.
bool IsAtomicTempName(const std::string& name);
// Removes the stale temporary files of that pattern in dir; returns how many.
int RemoveStaleTempFiles(const std::string& dir);

// Holds an advisory lock on the folder `dir` itself for the rest of the
// process. The folder is locked, not a file in it: a file can be removed or
// put back as a link or a folder while the holder runs, and let a second
// opener in. HeldByOther when another opener holds it; Unavailable, with
// the system's error in *error, when it cannot be taken or checked (the
// folder cannot be opened, or its file system takes no locks).
//
// A folder held is known by its name too: when that name leads to another
// folder (the one held was renamed or moved, and another, maybe locked by
// a second copy, put in its place), a TAtomicFileWriter into it fails
// saying so and writes nothing. The writer does its work through the folder
// it opened and checked, so a rename meanwhile cannot send the file
// elsewhere.
enum class TFolderLock { Held, HeldByOther, Unavailable };
TFolderLock HoldFolderLock(const std::string& dir, int* error = nullptr);

// Modification time of a file as a TDateTime (local time); -1 when missing.
TDateTime FileAgeDateTime(const std::string& fileName);
std::string GetTempDir();  // without a trailing separator
std::string GetHomeDir();

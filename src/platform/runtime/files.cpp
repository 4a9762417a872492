#include "platform/runtime/files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/codepage.h"
#include "platform/runtime/errors.h"

namespace {

mode_t ProcessUmask() {
    // Read, not set: umask() would change it process-wide for a moment.
    static const mode_t mask = [] {
        mode_t m = 022;
        if (FILE* f = std::fopen("/proc/self/status", "re")) {
            char line[256];
            while (std::fgets(line, sizeof line, f)) {
                unsigned v;
                if (std::sscanf(line, "Umask: %o", &v) == 1) {
                    m = static_cast<mode_t>(v);
                    break;
                }
            }
            std::fclose(f);
        }
        return m;
    }();
    return mask;
}

bool WriteAll(int fd, const char* data, size_t size, int& err) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        if (n == 0) {
            err = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The file a write to `fileName` must replace: a symbolic link is followed so
// that the link itself survives.
std::string ResolveTarget(const std::string& fileName) {
    std::string path = fileName;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string r(real);
            std::free(real);
            return r;
        }
        // A link to a file not there yet: the write makes the file it names
        // (or fails naming its folder), as writing through the link would.
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || n >= ssize_t(sizeof target)) break;
        const std::string next(target, size_t(n));
        const size_t slash = path.rfind('/');
        path = next[0] == '/' || slash == std::string::npos ? next : path.substr(0, slash + 1) + next;
    }
    return fileName;
}

constexpr size_t kBufferSize = 1 << 16;

// A name cut to at most `room` bytes without splitting a UTF-8 character.
std::string CutName(const std::string& name, size_t room) {
    if (name.size() <= room) return name;
    size_t end = room;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

int RemoveStaleIn(int dirFd);

// A path the system gave back, or EInOutError naming it as well as it can.
std::string FromSystem(const std::string& sysPath, const char* what) {
    std::string path;
    if (!ProgramPath(sysPath, path)) RaiseUnusablePath(what, path);
    return path;
}

// The folders this process holds locked (HoldFolderLock), by the system's
// name they were opened by and what they are.
struct THeldFolder {
    std::string path;
    dev_t device;
    ino_t inode;
};

std::mutex heldMutex;
std::vector<THeldFolder> heldFolders;

std::string WithoutTrailingDelim(std::string dir) {
    while (dir.size() > 1 && dir.back() == PathDelim) dir.pop_back();
    return dir.empty() ? "." : dir;
}

// False when `sysDir` is the name of a folder held locked but `dirFd`, the
// folder opened by that name now, is another one: the held folder was
// renamed or moved, and what stands at its name may be another copy's.
bool IsTheHeldFolder(const std::string& sysDir, int dirFd) {
    const std::string path = WithoutTrailingDelim(sysDir);
    std::lock_guard<std::mutex> lock(heldMutex);
    struct stat st;
    bool named = false;
    for (const THeldFolder& held : heldFolders) {
        if (held.path != path) continue;
        named = true;
        if (::fstat(dirFd, &st) == 0 && st.st_dev == held.device && st.st_ino == held.inode) return true;
    }
    return !named;
}

bool IsTheHeldFolder(const std::string& sysDir) {
    const int fd = ::open(sysDir.empty() ? "." : sysDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;  // the write fails on its own, saying why
    const bool same = IsTheHeldFolder(sysDir, fd);
    ::close(fd);
    return same;
}

// Six letters or digits that make a temporary name no other file has.
std::string RandomLetters() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<unsigned> counter{0};
    unsigned char bytes[6] = {};
    // Without the system's randomness a count serves: a name taken is tried again.
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        unsigned long v = static_cast<unsigned long>(::getpid()) * 65536u + ++counter;
        for (unsigned char& b : bytes) {
            b = static_cast<unsigned char>(v % 62);
            v /= 62;
        }
    }
    std::string out;
    for (unsigned char b : bytes) out += kLetters[b % (sizeof kLetters - 1)];
    return out;
}

} // namespace

std::string SystemPath(const std::string& path) { return Cp1252ToUtf8(path); }

bool ProgramPath(const std::string& systemPath, std::string& path) {
    return TryUtf8ToCp1252(systemPath, path);
}

std::string UnusablePathText(const std::string& what, const std::string& shown) {
    return "Não foi possível usar " + what + " \"" + shown + "\": " + SysErrorText(EILSEQ);
}

void RaiseUnusablePath(const std::string& what, const std::string& shown) {
    throw EInOutError(UnusablePathText(what, shown), EILSEQ, SysErrorText(EILSEQ));
}

std::string SysErrorText(int err) {
    switch (err) {
    case ENOENT: return "o arquivo não existe";
    case ENOTDIR: return "a pasta não existe";
    case EACCES:
    case EPERM: return "sem permissão de acesso";
    case EROFS: return "o disco é somente leitura";
    case EISDIR: return "é uma pasta, não um arquivo";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "o disco está cheio";
    case EMFILE:
    case ENFILE: return "há arquivos abertos demais no sistema";
    case ENAMETOOLONG: return "o nome do arquivo é longo demais";
    case EEXIST: return "o arquivo já existe";
    case EBUSY:
    case ETXTBSY: return "o arquivo está em uso por outro programa";
    case EIO: return "erro de leitura ou gravação no disco";
    case ENODEV: return "não é um arquivo comum";
    case ELOOP: return "o caminho tem um ciclo de atalhos (ligações simbólicas)";
    case ENOLCK:
    case EOPNOTSUPP:
    case ENOSYS: return "o sistema de arquivos não permite travar a pasta";
    case EILSEQ:
        return "o nome tem caracteres que o programa não consegue usar (use só letras do "
               "alfabeto latino, com ou sem acento, algarismos e sinais comuns)";
    default: return "erro do sistema " + std::to_string(err);
    }
}

std::string OpenErrorText(const std::string& fileName, const std::string& reason) {
    return "Não foi possível abrir o arquivo \"" + fileName + "\": " + reason;
}

std::string CreateErrorText(const std::string& fileName, const std::string& reason) {
    return "Não foi possível gravar o arquivo \"" + fileName + "\": " + reason;
}

std::string TooLargeReason(unsigned long long size, size_t maxSize) {
    auto mb = [](unsigned long long n) {
        return std::to_string((n + (1u << 20) - 1) >> 20) + " MB";
    };
    return "o arquivo é grande demais (" + mb(size) + "; o limite é " + mb(maxSize) +
           ") e deve estar danificado";
}

bool FileExists(const std::string& fileName) {
    struct stat st;
    return !fileName.empty() && ::stat(SystemPath(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool EntryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::lstat(SystemPath(path).c_str(), &st) == 0;
}

bool DirectoryExists(const std::string& dir) {
    struct stat st;
    return !dir.empty() && ::stat(SystemPath(dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool TryGetCurrentDir(std::string& dir) {
    std::string buf(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buf.data(), buf.size())) {
            buf.resize(std::strlen(buf.c_str()));
            return ProgramPath(buf, dir);
        }
        if (errno != ERANGE) {
            dir = ".";
            return true;
        }
        buf.resize(buf.size() * 2);
    }
}

std::string GetCurrentDir() {
    std::string dir;
    if (!TryGetCurrentDir(dir)) RaiseUnusablePath("a pasta", dir);
    return dir;
}

bool SetCurrentDir(const std::string& dir) {
    return !dir.empty() && ::chdir(SystemPath(dir).c_str()) == 0;
}

std::string PathJoin(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == PathDelim) return dir + name;
    return dir + PathDelim + name;
}

std::string ExtractFileName(const std::string& path) {
    size_t p = path.rfind(PathDelim);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
    size_t p = path.rfind(PathDelim);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string& path) {
    size_t slash = path.rfind(PathDelim);
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    size_t slash = path.rfind(PathDelim);
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
    return path.substr(0, dot) + ext;
}

bool DeleteFile(const std::string& fileName) {
    struct stat st;
    const std::string sys = SystemPath(fileName);
    if (fileName.empty() || ::lstat(sys.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(sys.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    struct stat st;
    const std::string sysTo = SystemPath(to);
    if (from.empty() || to.empty() || ::lstat(sysTo.c_str(), &st) == 0) return false;
    return ::rename(SystemPath(from).c_str(), sysTo.c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
              std::string* reason) {
    if (failIfExists) {
        struct stat st;
        if (::lstat(SystemPath(to).c_str(), &st) == 0) {
            if (reason) *reason = SysErrorText(EEXIST);
            return false;
        }
    }
    std::string bytes;
    try {
        bytes = ReadFileBytes(from);
    } catch (const EInOutError& e) {
        if (reason) *reason = from + ": " + e.Reason;
        return false;
    }
    try {
        WriteFileAtomic(to, bytes);
        return true;
    } catch (const EInOutError& e) {
        if (reason) *reason = to + ": " + e.Reason;
        return false;
    }
}

std::string ReadFileBytes(const std::string& fileName, size_t maxSize) {
    auto fail = [&](int err) -> EFOpenError {
        const std::string reason = SysErrorText(err);
        return EFOpenError(OpenErrorText(fileName, reason), err, reason);
    };
    auto tooLarge = [&](unsigned long long size) -> EFOpenError {
        const std::string reason = TooLargeReason(size, maxSize);
        return EFOpenError(OpenErrorText(fileName, reason), EFBIG, reason);
    };
    // Only regular files are read: a device never ends and a pipe blocks
    // (opening without blocking tells them apart first).
    int fd = ::open(SystemPath(fileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw fail(errno);
    struct stat st;
    const int err = ::fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : S_ISREG(st.st_mode) ? 0 : ENODEV;
    if (err != 0) {
        ::close(fd);
        throw fail(err);
    }
    if (static_cast<unsigned long long>(st.st_size) > maxSize) {
        ::close(fd);
        throw tooLarge(static_cast<unsigned long long>(st.st_size));
    }
    std::string out;
    if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throw fail(err);
        }
        if (n == 0) break;
        // A file that grows while it is read stops at the limit.
        if (out.size() + static_cast<size_t>(n) > maxSize) {
            ::close(fd);
            throw tooLarge(out.size() + static_cast<size_t>(n));
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

void WriteFileAtomic(const std::string& fileName, const std::string& bytes) {
    TAtomicFileWriter w(fileName);
    w.Write(bytes);
    w.Commit();
}

// ---- TAtomicFileWriter ------------------------------------------------------

// A save's temporary file is named so that no user's file can be taken for
// one: only names with both marks are ever removed as left-overs.
constexpr char kTempPrefix[] = ".velorim-save.";
constexpr char kTempSuffix[] = ".velorim-tmp";

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName, TDurability durability)
    : target_(fileName), sysTarget_(ResolveTarget(SystemPath(fileName))), durability_(durability) {
    if (fileName.empty()) Fail(ENOENT);
    const std::string named = SystemPath(fileName);
    // Through a link the file replaced is another; messages name that one.
    if (sysTarget_ != named) ProgramPath(sysTarget_, target_);
    // Everything after this goes through the folder opened here: the file
    // lands in the folder checked, whatever is renamed meanwhile.
    const std::string dir = ExtractFilePath(sysTarget_);
    name_ = ExtractFileName(sysTarget_);
    dirFd_ = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0) Fail(errno);
    if (!IsTheHeldFolder(dir, dirFd_) ||
        (sysTarget_ != named && !IsTheHeldFolder(ExtractFilePath(named)))) {
        std::string folder;
        ProgramPath(WithoutTrailingDelim(sysTarget_ != named ? ExtractFilePath(named) : dir), folder);
        Fail(ESTALE, "a pasta \"" + folder +
                         "\" não é mais a pasta de dados em que o programa foi aberto (foi renomeada, "
                         "movida ou trocada por outra); nada foi gravado. Feche o programa e abra-o "
                         "de novo na pasta de dados");
    }
    RemoveStaleIn(dirFd_);
    // The target's name is only there to help a person who sees the file; a
    // long one is cut so that the temporary name stays within NAME_MAX.
    const size_t room = 255 - (sizeof kTempPrefix - 1) - 7 - (sizeof kTempSuffix - 1);
    const std::string shown = CutName(name_, room);
    for (int attempt = 0;; ++attempt) {
        temp_ = kTempPrefix + shown + "." + RandomLetters() + kTempSuffix;
        fd_ = ::openat(dirFd_, temp_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            const int err = errno;
            temp_.clear();
            if (err == EEXIST && attempt < 100) continue;
            Fail(err);
        }
        // The lock tells other writers that this file is not stale. One that
        // removed it between its creation and the lock makes us start again.
        struct stat st;
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd_, &st) == 0 && st.st_nlink > 0)
            break;
        ::close(fd_);
        fd_ = -1;
    }
    struct stat st;
    mode_t mode = ::fstatat(dirFd_, name_.c_str(), &st, 0) == 0 ? (st.st_mode & 07777)
                                                              : (0666 & ~ProcessUmask());
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
}

TAtomicFileWriter::~TAtomicFileWriter() { Discard(); }

void TAtomicFileWriter::Fail(int err, const std::string& why) {
    Discard();
    // Creating a file, "no such entry" is the folder's.
    const std::string reason = why.empty() ? SysErrorText(err == ENOENT ? ENOTDIR : err) : why;
    throw EFCreateError(CreateErrorText(target_, reason), err, reason);
}

void TAtomicFileWriter::Flush() {
    int err = 0;
    if (!buffer_.empty() && !WriteAll(fd_, buffer_.data(), buffer_.size(), err)) Fail(err);
    buffer_.clear();
}

void TAtomicFileWriter::Write(const char* data, size_t size) {
    if (fd_ < 0) Fail(EBADF);
    if (buffer_.size() + size > kBufferSize) {
        Flush();
        if (size >= kBufferSize) {
            int err = 0;
            if (!WriteAll(fd_, data, size, err)) Fail(err);
            return;
        }
    }
    buffer_.append(data, size);
}

void TAtomicFileWriter::Commit() {
    if (fd_ < 0) Fail(EBADF);
    Flush();
    const bool durable = durability_ == TDurability::Durable;
    if (durable && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) Fail(errno);
    // The lock goes with the descriptor, after the rename: until then the
    // temporary file is ours.
    if (::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) Fail(errno);
    temp_.clear();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) Fail(errno);
    if (durable) ::fsync(dirFd_);
    Discard();
}

void TAtomicFileWriter::Discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlinkat(dirFd_, temp_.c_str(), 0);
        temp_.clear();
    }
    if (dirFd_ >= 0) {
        ::close(dirFd_);
        dirFd_ = -1;
    }
    buffer_.clear();
}

// ---- Stale temporary files --------------------------------------------------

bool IsAtomicTempName(const std::string& name) {
    // prefix + at least one character + "." + six letters or digits + suffix.
    const size_t pre = sizeof kTempPrefix - 1, suf = sizeof kTempSuffix - 1;
    if (name.size() < pre + 1 + 7 + suf || name.compare(0, pre, kTempPrefix) != 0 ||
        name.compare(name.size() - suf, suf, kTempSuffix) != 0)
        return false;
    const size_t end = name.size() - suf;
    if (name[end - 7] != '.') return false;
    for (size_t i = end - 6; i < end; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

int RemoveStaleTempFiles(const std::string& dir) {
    const std::string sysDir = SystemPath(dir);
    const int fd = ::open(sysDir.empty() ? "." : sysDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    const int removed = RemoveStaleIn(fd);
    ::close(fd);
    return removed;
}

namespace {

// The names listed are the system's and stay so: a left-over is removed
// whatever characters its name holds.
int RemoveStaleIn(int dirFd) {
    // A listing of its own: the folder's descriptor keeps no place in it.
    const int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!d) {
        if (listFd >= 0) ::close(listFd);
        return 0;
    }
    int removed = 0;
    while (dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (!IsAtomicTempName(name)) continue;
        int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        // Only a plain file that no writer holds locked.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (::unlinkat(dirFd, name.c_str(), 0) == 0) ++removed;
        }
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

} // namespace

// ---- Misc --------------------------------------------------------------------

TFolderLock HoldFolderLock(const std::string& dir, int* error) {
    int err = 0;
    const int fd = ::open(SystemPath(dir.empty() ? "." : dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
    } else {
        // Never closed: the system lets it go when the process ends, however it ends.
        struct stat st;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (::fstat(fd, &st) == 0) {
                std::lock_guard<std::mutex> lock(heldMutex);
                heldFolders.push_back({WithoutTrailingDelim(SystemPath(dir)), st.st_dev, st.st_ino});
            }
            return TFolderLock::Held;
        }
        err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) return TFolderLock::HeldByOther;
    }
    if (error) *error = err;
    return TFolderLock::Unavailable;
}

TDateTime FileAgeDateTime(const std::string& fileName) {
    struct stat st;
    if (::stat(SystemPath(fileName).c_str(), &st) != 0) return -1;
    std::time_t t = st.st_mtime;
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return -1;
    TDateTime d;
    if (!TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, d)) return -1;
    return d + EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec < 60 ? tm.tm_sec : 59, 0);
}

std::string GetTempDir() {
    const char* t = std::getenv("TMPDIR");
    std::string dir;
    // Any temporary folder serves: one the program cannot name is passed over.
    if (!t || !*t || !ProgramPath(t, dir)) dir = "/tmp";
    while (dir.size() > 1 && dir.back() == PathDelim) dir.pop_back();
    return dir;
}

std::string GetHomeDir() {
    const char* h = std::getenv("HOME");
    if (h && *h) return FromSystem(h, "a pasta pessoal");
    struct passwd pw;
    struct passwd* result = nullptr;
    char buf[4096];
    if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &result) == 0 && result && pw.pw_dir)
        return FromSystem(pw.pw_dir, "a pasta pessoal");
    return GetTempDir();
}

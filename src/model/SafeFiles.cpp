#include "model/SafeFiles.h"

#include "model/GameRecord.h"
#include "model/HandFile.h"
#include "model/PlayerFileFormat.h"
#include "model/Preferences.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardovia {

namespace fs = std::filesystem;

namespace {

std::atomic<FileFault> fileFault{nullptr};

// The error a step would give: the tests' fault, or none.
int Fault(FileStep step, const std::string& path) {
    const FileFault fault = fileFault.load();
    return fault ? fault(step, path) : 0;
}

// An open file, closed when it goes.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes it now, for the error a close may report.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

std::string DirectoryOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

std::string NameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

// What a thing that is not a plain file is, in the player's words.
std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

constexpr const char* kLinkCause = "it is a symbolic link, which the game does not follow";

std::string NotPlainCause(mode_t mode) {
    return "it is " + KindOf(mode) + ", not a plain file";
}

// The system's words for an error, from any thread.
std::string Cause(int err) {
    char buffer[128];
    return ::strerror_r(err, buffer, sizeof buffer);
}

WriteError ErrorOf(const std::string& verb, const std::string& path, int err) {
    WriteError error;
    if (err == ENOSPC || err == EDQUOT) error = WriteError{61, "Disk full", {}};
    error.sentence = "Could not " + verb + " " + path + ": " + Cause(err) + ".";
    return error;
}

// A file the game will not touch: the sentence says why, and that it was left alone.
WriteError Refusal(const std::string& verb, const std::string& path, const std::string& cause) {
    WriteError error;
    error.sentence = "Could not " + verb + " " + path + ": " + cause + "; it was left as it is.";
    return error;
}

// Writes all of text, each write() asking the tests' fault first.
int WriteAll(int fd, const std::string& path, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        std::size_t chunk = text.size() - written;
        const int fault = Fault(FileStep::Write, path);
        if (fault != 0) chunk /= 2;
        const ssize_t n = chunk == 0 ? 0 : ::write(fd, text.data() + written, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        written += static_cast<std::size_t>(n);
        if (fault != 0) return fault;
    }
    return 0;
}

int Sync(int fd, const std::string& path) {
    if (const int fault = Fault(FileStep::Sync, path)) return fault;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Puts a rename or a removal in the directory on the disk. Some file systems
// cannot sync a directory at all (EINVAL); their renames are as safe as they get.
int SyncDirectory(const std::string& dir) {
    if (const int fault = Fault(FileStep::SyncDirectory, dir)) return fault;
    Descriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.ok()) return errno;
    if (::fsync(fd.get()) != 0 && errno != EINVAL) return errno;
    return 0;
}

char RandomLetter(unsigned char byte) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    return kLetters[byte % (sizeof kLetters - 1)];
}

constexpr std::size_t kSuffixLength = 6;

std::string RandomSuffix() {
    unsigned char bytes[kSuffixLength] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the system's randomness the time and the process still make
        // names that differ; O_EXCL guards against a clash either way.
        static std::atomic<unsigned> counter{0};
        const auto mix = (static_cast<unsigned long long>(std::time(nullptr)) * 2654435761ULL) ^
                         (static_cast<unsigned long long>(::getpid()) << 20) ^ counter++;
        for (std::size_t i = 0; i < kSuffixLength; ++i) bytes[i] = (mix >> (8 * i)) & 0xff;
    }
    std::string suffix;
    for (const unsigned char b : bytes) suffix += RandomLetter(b);
    return suffix;
}

// The program's own files: only their temporary files are ever cleared away.
const char* const kOurFiles[] = {kPlayerFileName, kPreferencesFileName, kHistoryFileName,
                                 kHandFileName, kGameEndNoteName};
// Earlier versions saved through these fixed names.
const char* const kOldTemporaryNames[] = {"Name.dat.tmp", "Cardovia.ini.tmp"};

// Creates the temporary file beside path, exclusively, never through a link.
int CreateTemporary(const std::string& path, std::string& temp, int& err) {
    const std::string dir = DirectoryOf(path);
    const std::string name = NameOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = (fs::path(dir) / ("." + name + "." + RandomSuffix() + ".tmp")).string();
        if ((err = Fault(FileStep::Create, temp)) != 0) return -1;
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) return fd;
        err = errno;
        if (err != EEXIST) return -1;
    }
    return -1;
}

// What lies at path without following a link: 0 and its status, or the error.
int StatusOf(const std::string& path, struct stat& st) {
    return ::lstat(path.c_str(), &st) == 0 ? 0 : errno;
}

// A file of ours that may be replaced: missing, or a plain file. The sentence otherwise.
std::optional<WriteError> MayReplace(const std::string& verb, const std::string& path,
                                     struct stat& st, bool& exists) {
    const int err = StatusOf(path, st);
    exists = err == 0;
    if (err != 0 && err != ENOENT) return ErrorOf(verb, path, err);
    if (exists && S_ISLNK(st.st_mode)) return Refusal(verb, path, kLinkCause);
    if (exists && !S_ISREG(st.st_mode)) return Refusal(verb, path, NotPlainCause(st.st_mode));
    return std::nullopt;
}

// Opens a plain file for reading; a failure says why in `text`.
int OpenPlainForReading(const std::string& path, FileRead& text, struct stat& st) {
    const int err = StatusOf(path, st);
    if (err == ENOENT) return -1;
    if (err != 0) {
        text.found = FileFound::Failed;
        text.cause = Cause(err);
        return -1;
    }
    if (S_ISLNK(st.st_mode)) {
        text.found = FileFound::Link;
        text.cause = kLinkCause;
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        text.found = FileFound::NotPlain;
        text.cause = NotPlainCause(st.st_mode);
        return -1;
    }
    // Not blocking: a pipe put there since the look above must not hang the game.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int openErr = errno;
        text.found = openErr == ELOOP ? FileFound::Link : FileFound::Failed;
        text.cause = openErr == ELOOP ? kLinkCause : Cause(openErr);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        text.found = FileFound::NotPlain;
        text.cause = NotPlainCause(st.st_mode);
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string SizeWords(std::size_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB"
                                : std::to_string(bytes / 1024) + " KB";
}

// Reads up to `limit` bytes from `offset`; `whole` refuses a file larger than the limit.
FileRead ReadPart(const std::string& path, std::uint64_t offset, std::size_t limit, bool whole,
                  bool fromEnd) {
    FileRead result;
    struct stat st {};
    Descriptor fd(OpenPlainForReading(path, result, st));
    if (!fd.ok()) return result;
    result.size = static_cast<std::uint64_t>(st.st_size);
    if (whole && result.size > limit) {
        result.found = FileFound::TooLarge;
        result.cause =
            "it is larger than the game's own file ever is (over " + SizeWords(limit) + ")";
        return result;
    }
    if (fromEnd) offset = result.size > limit ? result.size - limit : 0;
    result.cut = offset > 0;
    // One byte more than the limit tells a file that grew while it was read;
    // one more than the file holds tells that it grew, too.
    const std::uint64_t remaining = result.size > offset ? result.size - offset : 0;
    std::string text(std::min<std::uint64_t>(limit + (whole ? 1 : 0), remaining + 1), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::pread(fd.get(), text.data() + got, text.size() - got,
                                  static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.found = FileFound::Failed;
            result.cause = Cause(errno);
            return result;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (whole && got > limit) {
        result.found = FileFound::TooLarge;
        result.cause =
            "it is larger than the game's own file ever is (over " + SizeWords(limit) + ")";
        return result;
    }
    text.resize(got);
    result.text = std::move(text);
    result.found = FileFound::Read;
    return result;
}

}  // namespace

std::string WriteError::Report() const {
    return sentence.empty() ? description : description + "\r\n" + sentence;
}

std::optional<WriteError> WriteWholeFile(const std::string& path, const std::string& text) {
    std::error_code ec;
    const std::string dir = DirectoryOf(path);
    fs::create_directories(dir, ec);
    struct stat old {};
    bool exists = false;
    if (auto refused = MayReplace("save", path, old, exists)) return refused;

    std::string temp;
    int err = 0;
    Descriptor fd(CreateTemporary(path, temp, err));
    if (!fd.ok()) return ErrorOf("save", path, err);
    // The file keeps the permissions the player gave it.
    if (exists) ::fchmod(fd.get(), old.st_mode & 07777);
    err = WriteAll(fd.get(), temp, text);
    if (err == 0) err = Sync(fd.get(), temp);
    if (err == 0) err = fd.Close();
    if (err == 0) err = Fault(FileStep::Rename, path);
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return ErrorOf("save", path, err);
    }
    if ((err = SyncDirectory(dir)) != 0) return ErrorOf("save", path, err);
    return std::nullopt;
}

std::optional<WriteError> AppendToFile(
    const std::string& path, const std::function<std::string(const AppendPoint&)>& compose,
    std::uint64_t* at) {
    const std::string verb = "add to";
    std::error_code ec;
    const std::string dir = DirectoryOf(path);
    fs::create_directories(dir, ec);
    struct stat st {};
    bool exists = false;
    if (auto refused = MayReplace(verb, path, st, exists)) return refused;
    if (const int fault = Fault(FileStep::Create, path)) return ErrorOf(verb, path, fault);
    Descriptor fd(::open(path.c_str(),
                         O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    if (!fd.ok()) {
        const int err = errno;
        return err == ELOOP ? Refusal(verb, path, kLinkCause) : ErrorOf(verb, path, err);
    }
    if (::fstat(fd.get(), &st) != 0) return ErrorOf(verb, path, errno);
    if (!S_ISREG(st.st_mode)) return Refusal(verb, path, NotPlainCause(st.st_mode));

    AppendPoint point;
    point.size = static_cast<std::uint64_t>(st.st_size);
    char last = '\n';
    if (point.size > 0) {
        point.endsLine = ::pread(fd.get(), &last, 1, st.st_size - 1) == 1 && last == '\n';
    }
    if (at) *at = point.size;
    const std::string text = compose(point);
    int err = WriteAll(fd.get(), path, text);
    if (err == 0) err = Sync(fd.get(), path);
    if (err != 0) {
        // Cutting back frees space, so it works on a full disk too.
        if (Fault(FileStep::Truncate, path) == 0 &&
            ::ftruncate(fd.get(), static_cast<off_t>(point.size)) == 0) {
            ::fsync(fd.get());
        }
        return ErrorOf(verb, path, err);
    }
    if ((err = fd.Close()) != 0) return ErrorOf(verb, path, err);
    if (!exists && (err = SyncDirectory(dir)) != 0) return ErrorOf(verb, path, err);
    return std::nullopt;
}

std::optional<WriteError> TakeBackAddition(const std::string& path, std::uint64_t at,
                                           const std::string& text) {
    const std::string verb = "take the last line back from";
    Descriptor fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.ok()) return ErrorOf(verb, path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return ErrorOf(verb, path, errno);
    std::string tail(text.size(), '\0');
    const bool ours = S_ISREG(st.st_mode) &&
                      static_cast<std::uint64_t>(st.st_size) == at + text.size() &&
                      ::pread(fd.get(), tail.data(), tail.size(), static_cast<off_t>(at)) ==
                          static_cast<ssize_t>(tail.size()) &&
                      tail == text;
    if (!ours) return Refusal(verb, path, "it changed since the line was added");
    if (const int fault = Fault(FileStep::Truncate, path)) return ErrorOf(verb, path, fault);
    if (::ftruncate(fd.get(), static_cast<off_t>(at)) != 0) return ErrorOf(verb, path, errno);
    if (const int err = Sync(fd.get(), path)) return ErrorOf(verb, path, err);
    return std::nullopt;
}

FileRead ReadSmallFile(const std::string& path, std::size_t limit) {
    return ReadPart(path, 0, limit, true, false);
}

FileRead ReadFileEnd(const std::string& path, std::size_t limit) {
    return ReadPart(path, 0, limit, false, true);
}

FileRead ReadFileFrom(const std::string& path, std::uint64_t offset, std::size_t limit) {
    return ReadPart(path, offset, limit, false, false);
}

SetAsideResult SetAside(const std::string& path) {
    SetAsideResult result;
    int err = Fault(FileStep::Rename, path);
    std::string candidate = path + ".bad";
    // A file kept aside before is never replaced: the rename itself refuses a
    // name that is taken, even one taken a moment ago.
    for (int n = 1; err == 0; ++n) {
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) ==
            0) {
            break;
        }
        err = errno;
        if (err == EINVAL) {
            // A file system that cannot refuse: the free name is looked for first.
            struct stat st {};
            while (::lstat(candidate.c_str(), &st) == 0)
                candidate = path + ".bad" + std::to_string(n++);
            err = ::rename(path.c_str(), candidate.c_str()) == 0 ? 0 : errno;
            break;
        }
        if (err != EEXIST) break;
        err = 0;
        candidate = path + ".bad" + std::to_string(n);
    }
    if (err != 0) {
        result.cause = Cause(err);
        return result;
    }
    SyncDirectory(DirectoryOf(path));
    result.aside = candidate;
    return result;
}

std::optional<WriteError> RemoveFile(const std::string& path) {
    int err = Fault(FileStep::Remove, path);
    if (err == 0 && ::unlink(path.c_str()) != 0) err = errno == ENOENT ? 0 : errno;
    if (err == 0) err = SyncDirectory(DirectoryOf(path));
    if (err != 0) return ErrorOf("remove", path, err);
    return std::nullopt;
}

bool IsOurTemporaryName(const std::string& name) {
    for (const char* old : kOldTemporaryNames) {
        if (name == old) return true;
    }
    for (const char* file : kOurFiles) {
        const std::string start = "." + std::string(file) + ".";
        const std::size_t length = start.size() + kSuffixLength + 4;
        if (name.size() != length || name.compare(0, start.size(), start) != 0 ||
            name.compare(length - 4, 4, ".tmp") != 0) {
            continue;
        }
        bool letters = true;
        for (std::size_t i = start.size(); i < start.size() + kSuffixLength; ++i) {
            letters = letters && std::isalnum(static_cast<unsigned char>(name[i]));
        }
        if (letters) return true;
    }
    return false;
}

int ClearStaleTempFiles(const std::string& dir, int olderThanSeconds) {
    DIR* listing = ::opendir(dir.c_str());
    if (!listing) return 0;
    const std::time_t now = std::time(nullptr);
    int cleared = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!IsOurTemporaryName(name)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(listing), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const bool stale = now - st.st_mtime >= olderThanSeconds;
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && stale &&
            ::unlinkat(::dirfd(listing), name.c_str(), 0) == 0) {
            ++cleared;
        }
    }
    ::closedir(listing);
    if (cleared > 0) SyncDirectory(dir);
    return cleared;
}

void SetFileFaultForTests(FileFault fault) {
    fileFault.store(fault);
}

}  // namespace cardovia

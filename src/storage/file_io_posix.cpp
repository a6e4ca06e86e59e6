// The file operations on Linux, the BSDs and macOS.

#include "storage/file_io.h"
#include "storage/temp_name.h"

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pylons {
namespace {

// A descriptor that is closed when it goes out of scope.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closes now, reporting a failure. A close interrupted by a signal has still closed.
    bool Close() {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0 || errno == EINTR;
    }

private:
    int fd_ = -1;
};

template <typename Call> auto RetryOnSignal(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) {
            return result;
        }
    }
}

// Opening never waits: O_NONBLOCK makes a pipe without a writer (or reader) answer at once, and
// O_NOCTTY keeps a terminal from becoming ours. For a regular file O_NONBLOCK changes nothing.
Fd Open(const fs::path& path, int flags, mode_t mode = 0666) {
    return Fd(RetryOnSignal(
        [&] { return ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode); }));
}

bool IsRegularFile(const Fd& fd, struct stat& info) {
    return RetryOnSignal([&] { return ::fstat(fd.get(), &info); }) == 0 && S_ISREG(info.st_mode);
}

// Waits up to two seconds for a lock on the whole file; a game holds it only for a read or one
// write, so a longer wait means a stuck or hostile process, and we do without the file rather
// than hang. Where the file system has no locks, the file is used without one.
bool LockWholeFile(const Fd& fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    // Locks of the open file itself, where the system has them, also keep apart two games in
    // one process (tests run several) and are not dropped when some other descriptor closes.
#if defined(F_OFD_SETLK)
    int command = F_OFD_SETLK;
#else
    int command = F_SETLK;
#endif
    for (int attempt = 0;; ++attempt) {
        if (::fcntl(fd.get(), command, &lock) == 0) {
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
#if defined(F_OFD_SETLK)
        if (errno == EINVAL && command == F_OFD_SETLK) {
            command = F_SETLK; // a kernel older than the open-file locks
            continue;
        }
#endif
        if (errno != EAGAIN && errno != EACCES) {
            return true; // ENOLCK, EOPNOTSUPP...: no locks here at all
        }
        if (attempt == 200) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Up to maxBytes from offset 0; fewer at the end of the file.
std::optional<std::vector<std::uint8_t>> ReadHead(const Fd& fd, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes(maxBytes);
    std::size_t done = 0;
    while (done < maxBytes) {
        const ssize_t n = RetryOnSignal([&] {
            return ::pread(fd.get(), bytes.data() + done, maxBytes - done,
                           static_cast<off_t>(done));
        });
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

// All of `bytes` at offset 0: one call, unless the system takes them in parts. A call that
// writes nothing at all is a failure, not a reason to try forever.
bool WriteAtStart(const Fd& fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = RetryOnSignal([&] {
            return ::pwrite(fd.get(), bytes.data() + done, bytes.size() - done,
                            static_cast<off_t>(done));
        });
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool Flush(const Fd& fd) {
    return RetryOnSignal([&] { return ::fsync(fd.get()); }) == 0;
}

// Overwrites the start of an open file where it stands and flushes it; `cutTo` shortens the file
// after the write. On failure the old start and length are put back as far as the system lets us.
bool WriteInPlace(const Fd& fd, std::span<const std::uint8_t> head,
                  const std::optional<std::vector<std::uint8_t>>& oldHead, off_t oldSize,
                  std::optional<off_t> cutTo) {
    if (WriteAtStart(fd, head) &&
        (!cutTo || *cutTo >= oldSize ||
         RetryOnSignal([&] { return ::ftruncate(fd.get(), *cutTo); }) == 0) &&
        Flush(fd)) {
        return true;
    }
    if (oldHead) {
        WriteAtStart(fd, *oldHead);
        struct stat now {};
        if (RetryOnSignal([&] { return ::fstat(fd.get(), &now); }) == 0 && now.st_size != oldSize) {
            RetryOnSignal([&] { return ::ftruncate(fd.get(), oldSize); });
        }
        Flush(fd);
    }
    return false;
}

fs::path FolderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// Gives the new file the old one's permission bits (never its set-ID or sticky bits) and group;
// a new save keeps the mode the umask gave it. Fails where the group cannot be kept, so that the
// old file is written in place rather than taken from the players who share it.
bool MatchOldFile(const Fd& fd, const struct stat* old) {
    if (old == nullptr) {
        return true;
    }
    struct stat info {};
    if (RetryOnSignal([&] { return ::fstat(fd.get(), &info); }) != 0) {
        return false;
    }
    if (info.st_gid != old->st_gid &&
        RetryOnSignal([&] { return ::fchown(fd.get(), static_cast<uid_t>(-1), old->st_gid); }) !=
            0) {
        return false;
    }
    return RetryOnSignal([&] { return ::fchmod(fd.get(), old->st_mode & 0777); }) == 0;
}

bool SyncFolder(const fs::path& folder) {
    Fd dir(
        RetryOnSignal([&] { return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
    if (!dir) {
        return true; // a folder we may not read cannot be flushed; the rename is done all the same
    }
    // Some file systems cannot flush a folder and say so; that is no failure of ours.
    return Flush(dir) || errno == EINVAL || errno == EROFS || errno == EBADF;
}

enum class Renamed {
    Done,
    NotDone,           // the folder cannot take the new file or the rename: try in place
    DiskFailed,        // the disk reported an error: nothing more is written to it
    DoneButNotFlushed, // the new save has its name, but the disk may not have the rename yet
};

// Why the new file could not be put in place, from the error of the step that failed. A broken
// disk gets no second write: overwriting the old save in place could cost it too.
Renamed NotRenamed(int error) {
    return error == EIO ? Renamed::DiskFailed : Renamed::NotDone;
}

// Writes the contents to a new file in the folder and renames it over `target`. Preferably the
// file has no name until it is complete (O_TMPFILE), so that a writer killed while writing leaves
// nothing behind; where the system has no such files, or no /proc through which to name one, it
// has its hidden temporary name from the start.
Renamed RenameNewContents(const fs::path& target, std::span<const std::uint8_t> contents,
                          const struct stat* old) {
    const fs::path folder = FolderOf(target);
    const auto fill = [&](const Fd& fd) {
        return MatchOldFile(fd, old) && WriteAtStart(fd, contents) && Flush(fd);
    };
    fs::path temp;
    Fd fd;
#if defined(O_TMPFILE)
    fd = Fd(RetryOnSignal(
        [&] { return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); }));
    if (fd) {
        if (!fill(fd)) {
            return NotRenamed(errno);
        }
        temp = folder / TempName(static_cast<std::uint64_t>(::getpid()));
        const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
        if (RetryOnSignal([&] {
                return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW);
            }) != 0) {
            fd.reset();
        }
    }
#endif
    if (!fd) {
        for (int attempt = 0; attempt < 8 && !fd; ++attempt) {
            temp = folder / TempName(static_cast<std::uint64_t>(::getpid()));
            fd = Open(temp, O_WRONLY | O_CREAT | O_EXCL);
            if (!fd && errno != EEXIST) {
                return NotRenamed(errno);
            }
        }
        if (!fd) {
            return Renamed::NotDone;
        }
        if (!fill(fd)) {
            const int error = errno;
            ::unlink(temp.c_str());
            return NotRenamed(error);
        }
    }
    // A close that fails may mean the data never reached the disk: the name must not show it.
    if (!fd.Close() || RetryOnSignal([&] { return ::rename(temp.c_str(), target.c_str()); }) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return NotRenamed(error);
    }
    return SyncFolder(folder) ? Renamed::Done : Renamed::DoneButNotFlushed;
}

} // namespace

FileHead ReadFileHead(const fs::path& path, std::size_t maxBytes) {
    FileHead head;
    const Fd fd = Open(path, O_RDONLY);
    struct stat info {};
    if (!fd) {
        head.status = errno == ENOENT                     ? ReadStatus::Missing
                      : errno == ENXIO || errno == ENODEV ? ReadStatus::NotAFile
                                                          : ReadStatus::Failed;
    } else if (!IsRegularFile(fd, info)) {
        head.status = ReadStatus::NotAFile;
    } else if (auto bytes = LockWholeFile(fd, F_RDLCK) ? ReadHead(fd, maxBytes) : std::nullopt) {
        head.status = ReadStatus::Read;
        head.bytes = std::move(*bytes);
    }
    return head;
}

bool UpdateFileHead(const fs::path& path, std::size_t headBytes, const HeadChange& change) {
    const Fd fd = Open(path, O_RDWR | O_CREAT);
    struct stat info {};
    if (!fd || !IsRegularFile(fd, info) || !LockWholeFile(fd, F_WRLCK)) {
        return false;
    }
    const auto current = ReadHead(fd, headBytes);
    if (!current) {
        return false;
    }
    const auto next = change(*current);
    if (!next || *next == *current) {
        return true;
    }
    // The lock goes with the descriptor, after the flush.
    return WriteInPlace(fd, *next, current, info.st_size, std::nullopt);
}

bool WriteWholeFile(const fs::path& path, std::span<const std::uint8_t> contents) {
    // What stands at the name now: nothing, or a regular file that we may write.
    Fd existing = Open(path, O_RDWR);
    if (!existing && errno == EACCES) {
        existing = Open(path, O_WRONLY); // a file we may write but not read
    }
    struct stat old {};
    if (!existing && errno != ENOENT) {
        return false;
    }
    if (existing && !IsRegularFile(existing, old)) {
        return false;
    }
    // Through symbolic links to the file itself: the new file goes beside it, and the links stay.
    std::error_code ec;
    fs::path target = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) {
        target = path;
    }
    struct stat there {};
    const bool sameFile = existing && ::stat(target.c_str(), &there) == 0 &&
                          there.st_dev == old.st_dev && there.st_ino == old.st_ino;
    const bool renameAllowed =
        !existing || (sameFile && old.st_nlink == 1 && old.st_uid == ::geteuid());
    if (renameAllowed) {
        switch (RenameNewContents(target, contents, existing ? &old : nullptr)) {
        case Renamed::Done:
            return true;
        case Renamed::DoneButNotFlushed:
            return false; // the new save is in place, but the disk may not have it yet
        case Renamed::DiskFailed:
            return false;
        case Renamed::NotDone:
            break;
        }
    }
    if (!existing) {
        return false;
    }
    return WriteInPlace(existing, contents, ReadHead(existing, contents.size()), old.st_size,
                        static_cast<off_t>(contents.size()));
}

} // namespace pylons

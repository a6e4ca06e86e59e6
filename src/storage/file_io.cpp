#include "storage/file_io.h"

#include <fstream>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <random>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace pylons {

std::optional<std::uintmax_t> FileLength(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::vector<std::uint8_t>> ReadFilePrefix(const fs::path& path,
                                                        std::size_t maxBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(maxBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
    if (in.bad() || (in.fail() && !in.eof())) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

namespace {

// The file a path finally names, so that replacing it keeps a player's symbolic link.
fs::path FinalTarget(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) {
        return path;
    }
    fs::path target = fs::weakly_canonical(path, ec);
    return ec ? path : target;
}

} // namespace

#if defined(_WIN32)

void RemoveStaleTemps(const fs::path&) {}

bool ReplaceFile(const fs::path& path, std::span<const std::uint8_t> head, OldTail tail) {
    const fs::path target = FinalTarget(path);
    std::error_code ec;
    const bool exists = fs::exists(target, ec);
    if (exists) {
        if (!fs::is_regular_file(target, ec)) {
            return false;
        }
        std::ofstream probe(target, std::ios::binary | std::ios::in | std::ios::out);
        if (!probe) {
            return false;
        }
    }
    std::random_device random;
    fs::path temp = target;
    temp += ".tmp" + std::to_string(random());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(head.data()),
                  static_cast<std::streamsize>(head.size()));
        if (tail == OldTail::Keep && exists) {
            std::ifstream old(target, std::ios::binary);
            old.seekg(static_cast<std::streamoff>(head.size()));
            if (old && old.peek() != std::ifstream::traits_type::eof()) {
                out << old.rdbuf();
            }
        }
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

#else

namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Copies what the old file holds from `offset` on.
bool CopyTail(const fs::path& from, off_t offset, int to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    bool ok = ::lseek(in, offset, SEEK_SET) == offset;
    std::uint8_t buffer[16384];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(to, buffer, static_cast<std::size_t>(n));
    }
    ::close(in);
    return ok;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary name of a file being replaced: hidden, beside it, and naming the process that
// writes it, so that what a killed process left behind can be told from work in progress.
fs::path TempName(const fs::path& target, long pid) {
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(pid);
    name += ".tmp";
    return target.parent_path() / name;
}

// Writes the new contents into an unnamed file in the folder where the system offers one (a
// crash then leaves nothing behind), otherwise into the temporary name.
int OpenNewContents(const fs::path& folder, const fs::path& temp, mode_t mode, bool& named) {
#if defined(O_TMPFILE)
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) {
        named = false;
        return fd;
    }
#endif
    named = true;
    ::unlink(temp.c_str());
    return ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

bool GiveName(int fd, bool named, const fs::path& temp) {
    if (named) {
        return true;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

} // namespace

void RemoveStaleTemps(const fs::path& path) {
    const fs::path target = FinalTarget(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::string prefix = ".";
    prefix += target.filename().string();
    prefix += '.';
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0) {
            continue;
        }
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
            digits.size() > 9) {
            continue;
        }
        const long pid = std::stol(digits);
        // Ours, or a process that is gone: nobody is writing it any more.
        if (pid == ::getpid() || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

bool ReplaceFile(const fs::path& path, std::span<const std::uint8_t> head, OldTail tail) {
    const fs::path target = FinalTarget(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        // Only a file that could be opened for writing may be replaced.
        if (!S_ISREG(old.st_mode)) {
            return false;
        }
        const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) {
            return false;
        }
        ::close(probe);
    } else if (errno != ENOENT) {
        return false;
    }

    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    RemoveStaleTemps(target);
    const fs::path temp = TempName(target, ::getpid());
    bool named = true;
    const int fd =
        OpenNewContents(folder, temp, exists ? (old.st_mode & 07777) : NewFileMode(), named);
    if (fd < 0) {
        return false;
    }
    // The mode given at creation is cut by the umask; the old file's mode is kept exactly.
    bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) == 0 &&
              WriteAll(fd, head.data(), head.size());
    if (ok && tail == OldTail::Keep && exists && old.st_size > static_cast<off_t>(head.size())) {
        ok = CopyTail(target, static_cast<off_t>(head.size()), fd);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ok && GiveName(fd, named, temp);
    named = named || ok;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        if (named) {
            ::unlink(temp.c_str());
        }
        return false;
    }
    // Make the rename itself durable; the new file is in place either way.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

#endif

} // namespace pylons

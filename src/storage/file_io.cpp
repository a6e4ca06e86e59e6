#include "storage/file_io.h"

#include <fstream>
#include <string>
#include <system_error>

#if defined(_WIN32)
#include <random>
#else
#include <cerrno>
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

} // namespace

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
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".XXXXXX";
    std::string temp = (folder / hidden).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) == 0 &&
              WriteAll(fd, head.data(), head.size());
    if (ok && tail == OldTail::Keep && exists && old.st_size > static_cast<off_t>(head.size())) {
        ok = CopyTail(target, static_cast<off_t>(head.size()), fd);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
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

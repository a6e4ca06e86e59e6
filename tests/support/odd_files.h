#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace pylons::testing {

// What can stand where the game expects a file and is none: each kind made at a path.
struct OddFile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
};

inline void MakeSocket(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

// A device the test owns: a node of the null device's kind made in the test's own folder, so
// that a game that wrongly wrote, replaced or removed it would only touch the test's node. Only
// root may make one; an ordinary user gets a link to the machine's null device instead, which
// such a user can neither replace nor remove, and writing into it changes nothing.
// Root that cannot make a node gets no link: a fault that followed it could change /dev itself.
inline void MakeDevice(const std::filesystem::path& path) {
    if (::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        return;
    }
    if (::geteuid() == 0) {
        throw std::runtime_error("no device node can be made in " + path.parent_path().string());
    }
    std::filesystem::create_symlink("/dev/null", path);
}

inline const OddFile kOddFiles[] = {
    {"a folder",
     [](const std::filesystem::path& p) {
         std::filesystem::create_directory(p);
     }},
    {"a named pipe",
     [](const std::filesystem::path& p) {
         ::mkfifo(p.c_str(), 0666);
     }},
    {"a socket", MakeSocket},
    {"a device", MakeDevice},
};

inline bool IsStillOdd(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

} // namespace pylons::testing

#pragma once

#include <filesystem>
#include <functional>

#include <sys/socket.h>
#include <sys/stat.h>
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
    {"a link to a device",
     [](const std::filesystem::path& p) {
         std::filesystem::create_symlink("/dev/zero", p);
     }},
};

inline bool IsStillOdd(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

} // namespace pylons::testing

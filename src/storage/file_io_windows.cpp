// The file operations on Windows: the same promises as elsewhere, through the Win32 calls.

#include "storage/file_io.h"
#include "storage/temp_name.h"

#include <chrono>
#include <thread>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace fs = std::filesystem;

namespace pylons {
namespace {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }
    bool Close() { return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Handle Open(const fs::path& path, DWORD access, DWORD disposition) {
    return Handle(::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A file on a disk: not a pipe, a console or a device.
bool IsRegularFile(const Handle& file, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileType(file.get()) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(file.get(), &info) != 0 &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::uint64_t SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return where;
}

// Waits up to two seconds for a lock on the whole file, as on the other systems.
bool LockWholeFile(const Handle& file, bool exclusive) {
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    for (int attempt = 0;; ++attempt) {
        OVERLAPPED where = At(0);
        if (::LockFileEx(file.get(), flags, 0, MAXDWORD, MAXDWORD, &where) != 0) {
            return true;
        }
        if (::GetLastError() != ERROR_LOCK_VIOLATION) {
            return true; // a file system without locks
        }
        if (attempt == 200) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<std::vector<std::uint8_t>> ReadHead(const Handle& file, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes(maxBytes);
    std::size_t done = 0;
    while (done < maxBytes) {
        OVERLAPPED where = At(done);
        DWORD got = 0;
        if (::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(maxBytes - done), &got,
                       &where) == 0) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

bool WriteAtStart(const Handle& file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED where = At(done);
        DWORD put = 0;
        if (::WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &put, &where) == 0 ||
            put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

bool CutTo(const Handle& file, std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return ::SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool WriteInPlace(const Handle& file, std::span<const std::uint8_t> head,
                  const std::optional<std::vector<std::uint8_t>>& oldHead, std::uint64_t oldSize,
                  std::optional<std::uint64_t> cutTo) {
    if (WriteAtStart(file, head) && (!cutTo || *cutTo >= oldSize || CutTo(file, *cutTo)) &&
        ::FlushFileBuffers(file.get()) != 0) {
        return true;
    }
    if (oldHead) {
        WriteAtStart(file, *oldHead);
        CutTo(file, oldSize);
        ::FlushFileBuffers(file.get());
    }
    return false;
}

// The new contents in a hidden file beside the target, flushed, then moved over it.
bool RenameNewContents(const fs::path& target, std::span<const std::uint8_t> contents) {
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    fs::path temp;
    Handle file;
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temp = folder / TempName(::GetCurrentProcessId());
        file = Handle(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    const bool written =
        file && WriteAtStart(file, contents) && ::FlushFileBuffers(file.get()) != 0 && file.Close();
    if (!written || ::MoveFileExW(temp.c_str(), target.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        file.reset();
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

FileHead ReadFileHead(const fs::path& path, std::size_t maxBytes) {
    FileHead head;
    const Handle file = Open(path, GENERIC_READ, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file) {
        head.status = IsMissing(::GetLastError()) ? ReadStatus::Missing : ReadStatus::Failed;
    } else if (!IsRegularFile(file, info)) {
        head.status = ReadStatus::NotAFile;
    } else if (auto bytes = LockWholeFile(file, false) ? ReadHead(file, maxBytes) : std::nullopt) {
        head.status = ReadStatus::Read;
        head.bytes = std::move(*bytes);
    }
    return head;
}

bool UpdateFileHead(const fs::path& path, std::size_t headBytes, const HeadChange& change) {
    const Handle file = Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !IsRegularFile(file, info) || !LockWholeFile(file, true)) {
        return false;
    }
    const auto current = ReadHead(file, headBytes);
    if (!current) {
        return false;
    }
    const auto next = change(*current);
    if (!next || *next == *current) {
        return true;
    }
    return WriteInPlace(file, *next, current, SizeOf(info), std::nullopt);
}

bool WriteWholeFile(const fs::path& path, std::span<const std::uint8_t> contents) {
    Handle existing = Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION old{};
    if (!existing && !IsMissing(::GetLastError())) {
        return false;
    }
    if (existing && !IsRegularFile(existing, old)) {
        return false;
    }
    std::error_code ec;
    fs::path target = fs::weakly_canonical(fs::absolute(path, ec), ec);
    if (ec) {
        target = path;
    }
    if (!existing || old.nNumberOfLinks == 1) {
        // Windows moves a file over another only while nobody holds the old one open.
        existing.reset();
        if (RenameNewContents(target, contents)) {
            return true;
        }
        existing = Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        if (!existing || !IsRegularFile(existing, old)) {
            return false;
        }
    }
    return WriteInPlace(existing, contents, ReadHead(existing, contents.size()), SizeOf(old),
                        contents.size());
}

} // namespace pylons

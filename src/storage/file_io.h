#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// The game's few file operations. Each opens its file once, without ever blocking on it, and
// goes on only when what it opened is a regular file: a pipe, a device, a socket or a folder is
// answered at once and left alone. Every later check is made on what was opened, not on the name.

namespace pylons {

enum class ReadStatus {
    Read,     // the bytes are the start of the file (none for an empty file)
    Missing,  // nothing by that name, or its folder is missing
    NotAFile, // a folder, pipe, device or socket
    Failed,   // there, but it may not be read or reading failed
};

struct FileHead {
    ReadStatus status = ReadStatus::Failed;
    std::vector<std::uint8_t> bytes;
};

// Up to maxBytes from the start of a file, read under a shared lock so that an update made by
// another game at the same moment is seen whole or not at all.
FileHead ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes);

// Makes the new start of a file from its current start (at most headBytes of it; fewer, or none,
// when the file is shorter or was just created). Nothing means: leave the file as it is.
using HeadChange =
    std::function<std::optional<std::vector<std::uint8_t>>(std::span<const std::uint8_t> current)>;

// Updates the start of a file where it stands, creating the file when it is missing: under an
// exclusive lock, reads the current start, writes what `change` makes of it at offset 0 in one
// write call and flushes it to disk. The file keeps its owner, group, mode, links and every byte
// past the new start, so it needs no writable folder. A write that fails midway puts back what
// it read. True when the file holds the new start on disk (or nothing needed writing); false
// with the file as it was otherwise. `change` is called at most once.
bool UpdateFileHead(const std::filesystem::path& path, std::size_t headBytes,
                    const HeadChange& change);

// Makes the file hold exactly `contents`. Where the folder allows it the new contents are written
// to a new file beside it, flushed and renamed over the old one, so that a crash or a power cut
// leaves the old file or the new one; a file that has other links or another owner keeps its
// inode. Where the folder does not allow it (it cannot take a new file or a rename), an existing
// file is overwritten where it stands: one write call at offset 0, then cut to the new length and
// flushed, putting back the old start if the write fails. A symbolic link is followed: the file it
// names is written, the link stays. False, with the old file whole, when neither way works, and
// when the disk reports an I/O error on the way: a broken disk gets no second write in place. A
// save whose rename could not be flushed is false too, although the new file has its name.
bool WriteWholeFile(const std::filesystem::path& path, std::span<const std::uint8_t> contents);

} // namespace pylons

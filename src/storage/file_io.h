#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace pylons {

// The length of a regular file; nothing when it is missing or not a file.
std::optional<std::uintmax_t> FileLength(const std::filesystem::path& path);

// Up to maxBytes from the start of the file; nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadFilePrefix(const std::filesystem::path& path,
                                                        std::size_t maxBytes);

enum class OldTail { Drop, Keep };

// Writes `head` at offset 0 of the file, whole or not at all: the new contents go to a file
// beside it, which is then renamed into place, so a crash leaves either the old file or the new
// one. With OldTail::Keep, the bytes that an existing longer file had past `head` are kept. An
// existing file that we may not write, or that is not a regular file, is left alone and the write
// fails, just as opening it for writing would. A symbolic link is followed: the file it names is
// replaced, the link stays.
bool ReplaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> head,
                 OldTail tail);

// Removes what a replacement of this file left behind when its process was killed midway: a
// hidden temporary file beside it, named after a process that no longer runs.
void RemoveStaleTemps(const std::filesystem::path& path);

} // namespace pylons

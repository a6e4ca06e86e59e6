#include "app/score_place.h"

#include "storage/file_io.h"
#include "storage/hiscore.h"

#if defined(_WIN32)
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace pylons {
namespace {

// Whether HiScore.Dat can be written where it is: it is opened for writing, and created when it
// is missing, which the game's start does next in any case.
bool CanTakeScores(const fs::path& file) {
#if defined(_WIN32)
    std::ofstream probe(file, std::ios::binary | std::ios::app);
    return static_cast<bool>(probe);
#else
    const int fd =
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
#endif
}

void MakeFolder(const fs::path& folder) {
#if defined(_WIN32)
    std::error_code ec;
    fs::create_directories(folder, ec);
#else
    // Each missing level private to the player, as the freedesktop rules ask of data folders.
    fs::path path;
    for (const fs::path& part : folder) {
        path /= part;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return;
        }
    }
#endif
}

} // namespace

ScorePlace ChooseScorePlace(const fs::path& programDir, const fs::path& playerFolder) {
    const fs::path beside = HiScorePath(programDir);
    if (playerFolder.empty() || CanTakeScores(beside)) {
        return {beside, {}};
    }
    return {HiScorePath(playerFolder), beside};
}

fs::path FreedesktopDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && fs::path(xdgDataHome).is_absolute()) {
        return fs::path(xdgDataHome) / "pylons";
    }
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".local" / "share" / "pylons";
    }
    return {};
}

void PrepareScoreFile(const ScorePlace& place) {
    if (place.startFrom.empty()) {
        return;
    }
    MakeFolder(place.file.parent_path());
    const FileHead records = ReadFileHead(place.startFrom, HiScoreTable::kFileBytes);
    if (records.status != ReadStatus::Read || records.bytes.empty()) {
        return;
    }
    HiScoreTable table;
    table.DecodeWhole(records.bytes);
    const auto bytes = table.Encode();
    // Only a file that holds nothing yet starts from them: never over the player's own results.
    UpdateFileHead(
        place.file, HiScoreTable::kFileBytes,
        [&](std::span<const std::uint8_t> current) -> std::optional<std::vector<std::uint8_t>> {
            if (!current.empty()) {
                return std::nullopt;
            }
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        });
}

} // namespace pylons

#include "storage/hiscore_keeper.h"

namespace pylons {

HiScoreTable HiScoreKeeper::WithNewResults(HiScoreTable table) const {
    for (const NewResult& result : newResults_) {
        table.Enter(result.level, result.record, result.seconds);
    }
    return table;
}

FileHead HiScoreKeeper::Read() {
    FileHead head = ReadFileHead(file_, HiScoreTable::kFileBytes);
    if (head.status == ReadStatus::Read) {
        fileRecords_.DecodeWhole(head.bytes);
    }
    return head;
}

HiScoreTable HiScoreKeeper::Open(const HiScoreTable& table) {
    fileRecords_ = table;
    const FileHead head = Read();
    if (head.status == ReadStatus::Missing ||
        (head.status == ReadStatus::Read && head.bytes.empty())) {
        return Store();
    }
    return WithNewResults(fileRecords_);
}

HiScoreTable HiScoreKeeper::Reread() {
    Read();
    return WithNewResults(fileRecords_);
}

HiScoreTable HiScoreKeeper::Add(int level, const HiScoreRecord& record, double seconds) {
    newResults_.push_back({level, record, seconds});
    return Store();
}

HiScoreTable HiScoreKeeper::Store() {
    HiScoreTable written;
    const bool stored = UpdateFileHead(
        file_, HiScoreTable::kFileBytes,
        [&](std::span<const std::uint8_t> current) -> std::optional<std::vector<std::uint8_t>> {
            // The records the file holds now; where it holds none (a new or empty file), those
            // the table had.
            fileRecords_.DecodeWhole(current);
            written = WithNewResults(fileRecords_);
            const auto bytes = written.Encode();
            return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
        });
    if (stored) {
        fileRecords_ = written;
        newResults_.clear();
    }
    return WithNewResults(fileRecords_);
}

} // namespace pylons

#pragma once

#include "storage/file_io.h"
#include "storage/hiscore.h"

#include <filesystem>
#include <vector>

namespace pylons {

// Keeps the high scores of a run in step with HiScore.Dat, which other games may write at the
// same time: the records the file last gave, and this run's results that it does not hold yet.
// Every table it hands back is the file's records with those results ranked in, which is what
// the player is shown and ranked against.
class HiScoreKeeper {
public:
    explicit HiScoreKeeper(std::filesystem::path file) : file_(std::move(file)) {}

    // Starts from `table` (the defaults) and takes the records the file holds; a missing or empty
    // file is given the table. A file that is no file or cannot be read is left as it is.
    HiScoreTable Open(const HiScoreTable& table);
    // The records as the file holds them now, for ranking a result against.
    HiScoreTable Reread();
    // A new result: kept, then stored with the others.
    HiScoreTable Add(int level, const HiScoreRecord& record, double seconds);
    // Under the file's lock the records it holds now are read, the results it lacks are ranked
    // among them, and that table is written back. A result the file could not take stays in
    // memory and is offered to it again next time.
    HiScoreTable Store();

    std::size_t Waiting() const { return newResults_.size(); }

private:
    struct NewResult {
        int level;
        HiScoreRecord record;
        double seconds;
    };
    FileHead Read();
    HiScoreTable WithNewResults(HiScoreTable table) const;

    std::filesystem::path file_;
    HiScoreTable fileRecords_; // as the file last gave them, without newResults_
    std::vector<NewResult> newResults_;
};

} // namespace pylons

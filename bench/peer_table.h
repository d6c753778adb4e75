#pragma once
// The table of the peer bench: one row per case, this program's figure next to curl's,
// lftp's and the bare loop's, as ratios of theirs, with the goal beside it.

#include <optional>
#include <string>
#include <vector>

namespace bench {

// One program's figure in one row, or why there is none.
struct Figure {
    double value = 0;
    std::string failure;  // "" when the run worked and every byte was checked
    bool measured = false;
    bool Ok() const { return failure.empty(); }
    // Keeps the better figure of two runs; a failure stays.
    void Keep(const Figure& run, bool higherIsBetter);
};

struct Row {
    std::string name;
    std::string unit;  // "MB/s", "round trips per file", ...
    Figure program, curl, lftp;
    std::optional<Figure> bare;
    std::string goal;
    bool Failed() const;
};

// The table in Markdown, headed; every figure with one decimal.
std::string Table(const std::vector<Row>& rows);

}  // namespace bench

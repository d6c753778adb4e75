#include "peer_table.h"

#include <cstdio>

namespace bench {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string Cell(const Figure& figure, const std::string& unit) {
    if (!figure.measured) {
        return "";
    }
    return figure.Ok() ? Number(figure.value) + " " + unit : "FAILED: " + figure.failure;
}

// This program's figure as a share of a peer's: above 1 is more (faster, more round trips,
// more memory).
std::string Ratio(const Figure& program, const Figure& peer) {
    if (!program.Ok() || !peer.Ok() || !program.measured || !peer.measured || peer.value <= 0) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", program.value / peer.value);
    return text;
}

}  // namespace

void Figure::Keep(const Figure& run, bool higherIsBetter) {
    if (!Ok()) {
        return;
    }
    if (!run.Ok() || !measured || (higherIsBetter ? run.value > value : run.value < value)) {
        *this = run;
        measured = true;
    }
}

bool Row::Failed() const {
    return !program.Ok() || !curl.Ok() || !lftp.Ok() || (bare && !bare->Ok());
}

std::string Table(const std::vector<Row>& rows) {
    std::string table =
        "| case | this program | curl | lftp | bare loop | ÷ curl | ÷ lftp | ÷ bare loop | goal "
        "|\n|---|---|---|---|---|---|---|---|---|\n";
    for (const Row& row : rows) {
        table += "| " + row.name + " | " + Cell(row.program, row.unit) + " | " +
                 Cell(row.curl, row.unit) + " | " + Cell(row.lftp, row.unit) + " | " +
                 (row.bare ? Cell(*row.bare, row.unit) : "") + " | " +
                 Ratio(row.program, row.curl) + " | " + Ratio(row.program, row.lftp) + " | " +
                 (row.bare ? Ratio(row.program, *row.bare) : "") + " | " + row.goal + " |\n";
    }
    return table;
}

}  // namespace bench

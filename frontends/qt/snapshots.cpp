#include "snapshots.h"

#include <cstdio>
#include <system_error>

namespace qtfront {

namespace {

// Only letters, digits and '-' in file names, whatever a reason holds.
std::string FileNamePart(const std::string& reason) {
    std::string part;
    for (char c : reason) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        part += plain ? c : '_';
    }
    return part.empty() ? "screen" : part;
}

}  // namespace

Snapshots::Snapshots(std::filesystem::path folder) : m_folder(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
}

std::filesystem::path Snapshots::Save(const QImage& picture, const std::string& reason) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d-", ++m_count);
    const std::filesystem::path file = m_folder / (number + FileNamePart(reason) + ".png");
    if (!picture.save(QString::fromStdString(file.string()), "PNG")) {
        return {};
    }
    return file;
}

}  // namespace qtfront

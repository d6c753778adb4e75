#pragma once
// Saves pictures of the device screen as numbered PNG files in one folder.

#include <QImage>
#include <filesystem>
#include <string>

namespace qtfront {

class Snapshots {
  public:
    // Creates the folder when it is missing.
    explicit Snapshots(std::filesystem::path folder);

    // Writes "NNN-REASON.png"; returns its path, or an empty path when it could not be
    // written.
    std::filesystem::path Save(const QImage& picture, const std::string& reason);

    const std::filesystem::path& Folder() const { return m_folder; }
    int Count() const { return m_count; }

  private:
    std::filesystem::path m_folder;
    int m_count = 0;
};

}  // namespace qtfront

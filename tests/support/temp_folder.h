#pragma once
// A fresh temporary folder, removed with everything in it when the object goes, and the
// tests' reading and writing of host files.

#include <filesystem>
#include <string>

namespace testing_support {

// A whole host file: written with the folders on its way (throws when that fails), read as it
// is ("" when missing).
void WriteHostFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadHostFile(const std::filesystem::path& path);

class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "stowbox-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes a file below the folder, creating the folders on the way.
    std::filesystem::path WriteFile(const std::filesystem::path& relative,
                                    const std::string& bytes) const;
    std::string ReadFile(const std::filesystem::path& relative) const;

  private:
    std::filesystem::path m_path;
};

}  // namespace testing_support

#pragma once
// A device file written whole before it takes its target's place.

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "platform/fs/file_system.h"

namespace platform::fs {

// The bytes go to a hidden file beside the target (".NAME.part-" and 16 hex digits); Commit
// renames it over the target, so until then a file of the target's name stays as it was.
// Destroyed uncommitted, it removes its temporary file.
class StagedFile {
  public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Fails when the device path does not end in a bare name, leaves the root or names a
    // folder, or when the temporary file cannot be made. Temporaries that runs which ended
    // before their commit left in the target's folder are removed first.
    bool Open(const FileSystem& fs, std::wstring_view devicePath);
    // Writes everything; false on error.
    bool Write(const void* data, std::size_t count);
    // Renames the temporary file over the target; when that fails, removes it.
    bool Commit();
    // Removes the temporary file, as the destructor does.
    void Discard();

  private:
    File m_file;
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;  // empty once committed or discarded
};

// Whether a device name has the form of the temporary files above: such files are the
// program's own, left by a run that ended before its commit.
bool IsStagingFileName(std::wstring_view name);

}  // namespace platform::fs

#pragma once
// The device file system: device paths ("\" or "/" separated) resolved inside one host folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::fs {

// Attribute bits as the device reports them.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;  // exactly this for sockets, pipes, devices
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;  // a regular file
inline constexpr std::uint32_t kAttrInRom = 0x40;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;  // a symbolic link

struct FindData {
    std::wstring name;           // bare name, never "." or ".."
    std::uint32_t attributes{};  // bits above
    std::uint32_t sizeLow{};     // low 32 bits of the size in bytes (0 for folders)
};

// A name of one path element: not empty, no "/", "\" or NUL, not "." or "..". A name a
// server or a person gave is checked with this before a device file is made under it.
bool IsBareName(std::wstring_view name);

class FileSystem {
  public:
    // root: the host folder that holds the device's "\". It must exist.
    explicit FileSystem(std::filesystem::path root);

    const std::filesystem::path& Root() const { return m_root; }

    // The host path of a device path, or nothing when the path would leave the root
    // (through "..", or a symbolic link that points outside). "\", "/" and "" are the root;
    // a bare name lies in the root folder.
    std::optional<std::filesystem::path> HostPath(std::wstring_view devicePath) const;

    // Entries of one folder matching the pattern of the last path element
    // ("\Photos\*", "\a\*.*", "\notes.txt"). "*" and "?" wildcards; "*.*" matches every
    // name. Sorted by name so that every run enumerates alike. Nothing for a missing folder.
    std::vector<FindData> Find(std::wstring_view pathWithPattern) const;

    // Attributes of one entry, or nothing when it does not exist.
    std::optional<std::uint32_t> GetAttributes(std::wstring_view devicePath) const;

    bool CopyFile(std::wstring_view from, std::wstring_view to, bool failIfExists) const;
    bool MoveFile(std::wstring_view from, std::wstring_view to) const;  // fails if `to` exists
    bool DeleteFile(std::wstring_view devicePath) const;                // files only
    bool CreateDirectory(std::wstring_view devicePath) const;
    bool RemoveDirectory(std::wstring_view devicePath) const;  // empty folders only

  private:
    std::filesystem::path m_root;  // canonical
};

// A device file open for reading or writing; closed by its destructor.
class File {
  public:
    enum class Mode {
        Read,          // existing file, others may open it too
        CreateAlways,  // created, or emptied when it exists
    };
    enum class Origin { Begin, Current, End };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    bool Open(const FileSystem& fs, std::wstring_view devicePath, Mode mode);
    // Opens a host path directly (used for temporary files beside a target).
    bool OpenHost(const std::filesystem::path& hostPath, Mode mode);
    bool IsOpen() const { return m_fd >= 0; }
    // Bytes read (0 at the end), or -1 on error.
    long Read(void* buffer, std::size_t count);
    // Writes everything; false on error.
    bool Write(const void* data, std::size_t count);
    // New position, or -1 on error.
    long long Seek(long long offset, Origin origin);
    void Close();

  private:
    int m_fd = -1;
};

}  // namespace platform::fs

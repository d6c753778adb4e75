#include "checked_files.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace bench {

namespace {

constexpr std::size_t kChunk = 1 << 20;

}  // namespace

void WritePatternFile(const std::filesystem::path& path, std::uint64_t size, int seed) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    std::vector<char> chunk(kChunk);
    for (std::uint64_t offset = 0; offset < size; offset += kChunk) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - offset));
        for (std::size_t i = 0; i < count; ++i) {
            // Period 251 against 2^n buffer sizes; the offset's high bits catch whole chunks
            // that come twice or out of order.
            const std::uint64_t at = offset + i;
            chunk[i] = static_cast<char>(at % 251 + (at >> 20) * 7 + static_cast<unsigned>(seed));
        }
        file.write(chunk.data(), static_cast<std::streamsize>(count));
    }
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string Difference(const std::filesystem::path& sent, const std::filesystem::path& received) {
    std::error_code error;
    const auto sentSize = std::filesystem::file_size(sent, error);
    if (error) {
        return "cannot read what was sent";
    }
    const auto receivedSize = std::filesystem::file_size(received, error);
    if (error) {
        return "nothing arrived";
    }
    if (sentSize != receivedSize) {
        return std::to_string(receivedSize) + " of " + std::to_string(sentSize) + " bytes arrived";
    }
    std::ifstream a(sent, std::ios::binary);
    std::ifstream b(received, std::ios::binary);
    std::vector<char> bufferA(kChunk), bufferB(kChunk);
    for (std::uint64_t offset = 0; offset < sentSize; offset += kChunk) {
        a.read(bufferA.data(), kChunk);
        b.read(bufferB.data(), kChunk);
        if (a.gcount() != b.gcount() ||
            !std::equal(bufferA.begin(), bufferA.begin() + a.gcount(), bufferB.begin())) {
            return "bytes differ in the MiB at " + std::to_string(offset);
        }
    }
    return "";
}

}  // namespace bench

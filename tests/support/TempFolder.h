#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes away. Tests write their ROM copies and os.bin files there.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace quarnel::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Writes `bytes` to a file in the folder and returns its path.
    std::filesystem::path WriteFile(const std::string& name, std::span<const uint8_t> bytes) const;

private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);

} // namespace quarnel::testing

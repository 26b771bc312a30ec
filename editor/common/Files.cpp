#include "common/Files.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <system_error>

namespace quarnel {

namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    auto name = path.filename().string() + ".tmp-" + std::to_string(stamp) + "-" +
                std::to_string(counter++);
    return path.parent_path() / name;
}

} // namespace

Result<std::vector<uint8_t>, Error> ReadWholeFile(const std::filesystem::path& path,
                                                  uint64_t limit) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return Fail(Error{ErrorKind::FileOpen, path.string() + ": " + error.message(), {}});
    }
    if (size > limit) {
        return Fail(Error{ErrorKind::FileRead,
                          path.string() + " is " + std::to_string(size) +
                              " bytes, more than this file can be",
                          {}});
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail(Error{ErrorKind::FileOpen, path.string() + ": cannot open it for reading", {}});
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<uint64_t>(in.gcount()) != size) {
        return Fail(
            Error{ErrorKind::FileRead, path.string() + ": the file could not be read whole", {}});
    }
    return bytes;
}

Result<void, Error> WriteFileAtomically(const std::filesystem::path& path,
                                        std::span<const uint8_t> bytes) {
    const auto temporary = TemporaryBeside(path);
    const auto failure = [&](const std::string& reason) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return Fail(Error{ErrorKind::FileWrite, path.string() + ": " + reason, {}});
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return failure("cannot create a file there");
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            return failure("the file could not be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        return failure(error.message());
    }
    return {};
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return !error && same;
}

} // namespace quarnel

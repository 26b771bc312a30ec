#include "patch/Patches.h"

#include "common/Files.h"
#include "patch/Bps.h"
#include "patch/Ips.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace quarnel {

namespace {

bool StartsWith(std::span<const uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
}

} // namespace

Result<PatchFormat, Error> PatchFormatOf(const std::filesystem::path& patch) {
    std::string extension = patch.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bps") {
        return PatchFormat::Bps;
    }
    if (extension == ".ips") {
        return PatchFormat::Ips;
    }
    return Fail(Error{ErrorKind::BadArgument,
                      patch.filename().string() + ": a patch file name ends in .bps or .ips",
                      std::nullopt});
}

Result<uint64_t, Error> MakePatchFile(const std::filesystem::path& original,
                                      const std::filesystem::path& modified,
                                      const std::filesystem::path& out) {
    auto format = PatchFormatOf(out);
    if (!format) {
        return Fail(format.error());
    }
    if (SameFile(out, original) || SameFile(out, modified)) {
        return Fail(Error{ErrorKind::BadArgument,
                          out.string() + " is one of the ROMs; choose another name for the patch",
                          std::nullopt});
    }
    auto source = ReadWholeFile(original);
    if (!source) {
        return Fail(source.error());
    }
    auto target = ReadWholeFile(modified);
    if (!target) {
        return Fail(target.error());
    }
    std::vector<uint8_t> patch;
    if (*format == PatchFormat::Bps) {
        patch = MakeBps(*source, *target);
    } else {
        auto ips = MakeIps(*source, *target);
        if (!ips) {
            return Fail(ips.error());
        }
        patch = std::move(*ips);
    }
    if (auto written = WriteFileAtomically(out, patch); !written) {
        return Fail(written.error());
    }
    return static_cast<uint64_t>(patch.size());
}

Result<std::vector<uint8_t>, Error> ApplyPatch(std::span<const uint8_t> rom,
                                               std::span<const uint8_t> patch) {
    if (StartsWith(patch, "BPS1")) {
        return ApplyBps(rom, patch);
    }
    if (StartsWith(patch, "PATCH")) {
        return ApplyIps(rom, patch);
    }
    return Fail(
        Error{ErrorKind::BadPatch, "the file is neither a BPS nor an IPS patch", std::nullopt});
}

Result<void, Error> ApplyPatchFile(const std::filesystem::path& rom,
                                   const std::filesystem::path& patch,
                                   const std::filesystem::path& out) {
    if (SameFile(out, rom) || SameFile(out, patch)) {
        return Fail(Error{ErrorKind::BadArgument,
                          out.string() +
                              " is the ROM or the patch itself; the patched ROM is written to a "
                              "new file",
                          std::nullopt});
    }
    auto source = ReadWholeFile(rom);
    if (!source) {
        return Fail(source.error());
    }
    auto bytes = ReadWholeFile(patch);
    if (!bytes) {
        return Fail(bytes.error());
    }
    auto patched = ApplyPatch(*source, *bytes);
    if (!patched) {
        return Fail(patched.error());
    }
    return WriteFileAtomically(out, *patched);
}

} // namespace quarnel

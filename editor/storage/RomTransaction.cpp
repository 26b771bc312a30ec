#include "storage/RomTransaction.h"

#include "common/Hex.h"
#include "rom/RomFile.h"
#include "storage/RomBackup.h"
#include "storage/RomWriter.h"
#include "storage/Storage.h"
#include "storage/UndoLog.h"

#include <algorithm>

namespace quarnel {

namespace {

Error WithOutcome(Error error, const std::string& outcome) {
    error.detail += (error.detail.empty() ? "" : "; ") + outcome;
    return error;
}

// Blank space is all 0xFF (the games' padding) or all 0x00.
bool Blank(std::span<const uint8_t> bytes) {
    const auto all = [&bytes](uint8_t value) {
        return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
    };
    return all(0xFF) || all(0x00);
}

Result<void, Error> WriteJob(RomWriter& writer, const RomWriteJob& job) {
    for (const NewBlock& block : job.blocks) {
        if (auto put = writer.WriteAt(block.offset, block.bytes); !put) {
            return put;
        }
    }
    // The new data is on the disk before anything refers to it.
    if (auto flushed = writer.Flush(); !flushed) {
        return flushed;
    }
    for (const InPlaceWrite& write : job.inPlace) {
        if (auto put = writer.WriteAt(write.offset, write.bytes); !put) {
            return put;
        }
    }
    return {};
}

// Reads every written range back; one sentence per range that differs.
std::vector<std::string> Differences(const RomFile& file, const RomWriteJob& job) {
    std::vector<std::string> differences;
    for (const NewBlock& block : job.blocks) {
        if (file.ReadBlock(block.offset, block.bytes.size()) != block.bytes) {
            differences.push_back(block.what + " at 0x" + ToHex(block.offset));
        }
    }
    for (const InPlaceWrite& write : job.inPlace) {
        if (!HoldsWrittenBytes(file, write)) {
            differences.push_back(write.what + " at 0x" + ToHex(write.offset));
        }
    }
    return differences;
}

} // namespace

Result<void, Error> PlaceBlocks(const StorageSystem& storage, Game game, const RomFile& file,
                                std::vector<NewBlock>& blocks) {
    std::vector<int32_t> sizes;
    for (const NewBlock& block : blocks) {
        if (block.reserved <= 0 || static_cast<size_t>(block.reserved) < block.bytes.size()) {
            return Fail(Error{ErrorKind::BadArgument,
                              block.what + " needs " + std::to_string(block.bytes.size()) +
                                  " bytes but reserves " + std::to_string(block.reserved),
                              std::nullopt});
        }
        sizes.push_back(block.reserved);
    }
    const auto offsets = storage.PlanAllocations(game, sizes);
    for (size_t i = 0; i < blocks.size(); ++i) {
        NewBlock& block = blocks[i];
        if (offsets[i] == 0) {
            return Fail(Error{ErrorKind::StorageExhausted,
                              block.what + " needs " + std::to_string(block.reserved) +
                                  " bytes and no " + std::string(GameCodeText(game)) +
                                  " free-space area has that much left; nothing was written",
                              std::nullopt});
        }
        block.offset = offsets[i];
        const uint64_t end = uint64_t{block.offset} + static_cast<uint64_t>(block.reserved);
        const std::string range = "0x" + ToHex(block.offset) + " to 0x" + ToHex(end);
        if (end > file.Size()) {
            return Fail(Error{ErrorKind::StorageExhausted,
                              "the free space handed out for " + block.what + " (" + range +
                                  ") lies past the end of the ROM file; nothing was written",
                              std::nullopt});
        }
        if (!Blank(file.ReadBlock(block.offset, static_cast<size_t>(block.reserved)))) {
            return Fail(Error{ErrorKind::StorageExhausted,
                              "the free space handed out for " + block.what + " (" + range +
                                  ") is not blank in this ROM, so it may hold data; nothing was "
                                  "written",
                              std::nullopt});
        }
    }
    return {};
}

Result<RomWriteOutcome, Error> CommitRomWrites(const RomWriteJob& job, RomWriteServices& services) {
    RomWriteOutcome outcome;
    if (job.blocks.empty() && job.inPlace.empty()) {
        return outcome;
    }
    {
        auto file = RomFile::Open(job.romPath, OpenMode::Read);
        if (!file) {
            return Fail(WithOutcome(file.error(), "nothing was written"));
        }
        for (const InPlaceWrite& write : job.inPlace) {
            if (auto checked = CheckInPlaceWrite(*file, write); !checked) {
                return Fail(checked.error());
            }
        }
    }
    auto access = OpenRomForWriting(services.backups, job.romPath);
    if (!access) {
        return Fail(WithOutcome(access.error(), "nothing was written"));
    }
    outcome.backup = access->backup;
    RomFile* file = &access->file;
    for (const NewBlock& block : job.blocks) {
        auto offset = services.storage.StorageAlloc(job.game, block.reserved);
        if (!offset) {
            return Fail(WithOutcome(offset.error(), "nothing was written to the ROM"));
        }
        if (*offset != block.offset) {
            return Fail(Error{ErrorKind::StorageExhausted,
                              "the storage bookkeeping handed out 0x" + ToHex(*offset) + " for " +
                                  block.what + " instead of the space checked for it (0x" +
                                  ToHex(block.offset) + "); nothing was written to the ROM",
                              std::nullopt});
        }
    }
    auto writer =
        services.writerFor ? services.writerFor(*file) : std::make_unique<RomFileWriter>(*file);
    UndoLog undo;
    for (const NewBlock& block : job.blocks) {
        undo.Remember(*file, block.offset, block.bytes.size());
    }
    for (const InPlaceWrite& write : job.inPlace) {
        undo.Remember(*file, write.offset, write.bytes.size());
    }
    if (auto written = WriteJob(*writer, job); !written) {
        if (auto restored = undo.Restore(*writer); !restored) {
            return Fail(
                WithOutcome(written.error(), "putting the file back as it was also failed (" +
                                                 Describe(restored.error()) + "); the backup is " +
                                                 RomBackups::BackupPathOf(job.romPath).string()));
        }
        return Fail(WithOutcome(written.error(), "the ROM file was put back as it was"));
    }
    if (auto flushed = writer->Flush(); !flushed) {
        outcome.notes.push_back("The data was written, but the file could not be flushed to the "
                                "disk: " +
                                Describe(flushed.error()));
    }
    writer.reset();

    auto reread = RomFile::Open(job.romPath, OpenMode::Read);
    if (!reread) {
        return Fail(Error{ErrorKind::VerifyMismatch,
                          "the data was written but the ROM file cannot be read back: " +
                              Describe(reread.error()),
                          std::nullopt});
    }
    const auto differences = Differences(*reread, job);
    if (!differences.empty()) {
        std::string detail = "written data reads back differently:";
        for (const auto& difference : differences) {
            detail += " " + difference + ";";
        }
        detail.pop_back();
        return Fail(Error{ErrorKind::VerifyMismatch, detail, std::nullopt});
    }
    return outcome;
}

} // namespace quarnel

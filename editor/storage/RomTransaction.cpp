#include "storage/RomTransaction.h"

#include "common/Hex.h"
#include "rom/RomFile.h"
#include "rom/RomView.h"
#include "storage/KnownBlocks.h"
#include "storage/RomBackup.h"
#include "storage/RomWriter.h"
#include "storage/Storage.h"
#include "storage/UndoLog.h"

#include <algorithm>
#include <cctype>

namespace quarnel {

namespace {

Error WithOutcome(Error error, const std::string& outcome) {
    error.detail += (error.detail.empty() ? "" : "; ") + outcome;
    return error;
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
    if (job.inPlace.empty()) {
        return {};
    }
    for (size_t i = 0; i + 1 < job.inPlace.size(); ++i) {
        if (auto put = writer.WriteAt(job.inPlace[i].offset, job.inPlace[i].bytes); !put) {
            return put;
        }
    }
    // Everything else is on the disk before the commit point.
    if (auto flushed = writer.Flush(); !flushed) {
        return flushed;
    }
    return writer.WriteAt(job.inPlace.back().offset, job.inPlace.back().bytes);
}

// Reads every written range back; one sentence per range that differs.
std::vector<std::string> Differences(const RomFile& file, const RomWriteJob& job) {
    std::vector<std::string> differences;
    for (const NewBlock& block : job.blocks) {
        if (file.ReadBlock(block.offset, block.bytes.size()) != block.bytes) {
            differences.push_back(block.what);
        }
    }
    for (const InPlaceWrite& write : job.inPlace) {
        if (!HoldsWrittenBytes(file, write)) {
            differences.push_back(write.what);
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
    // Space only ever goes where this ROM's bytes are blank, whatever os.bin says, and never
    // where a known pointer leads.
    const auto known = KnownBlocks::Build(file, game, UsableAreas(storage.Table(), game));
    const auto offsets = storage.PlanAllocations(game, sizes, RomFileView(file), known.Occupied());
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (offsets[i] == 0) {
            return Fail(Error{ErrorKind::StorageExhausted,
                              blocks[i].what + " needs " + std::to_string(blocks[i].reserved) +
                                  " bytes and no " + std::string(GameCodeText(game)) +
                                  " free-space area has that many blank bytes left in this ROM; "
                                  "nothing was written",
                              std::nullopt});
        }
        blocks[i].offset = offsets[i];
    }
    return {};
}

Result<void, Error> TakePlacedSpace(StorageSystem& storage, Game game, const RomFile& file,
                                    std::span<const NewBlock> blocks) {
    const RomFileView rom(file);
    // The same view of the ROM as PlaceBlocks had, so the same offsets come out.
    RangeSet occupied =
        KnownBlocks::Build(file, game, UsableAreas(storage.Table(), game)).Occupied();
    for (const NewBlock& block : blocks) {
        auto offset = storage.StorageAlloc(game, block.reserved, rom, occupied);
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
    if (auto space = TakePlacedSpace(services.storage, job.game, *file, job.blocks); !space) {
        return Fail(space.error());
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
            return Fail(WithOutcome(written.error(),
                                    "putting the file back as it was also failed (" +
                                        Describe(restored.error()) + "); if " + job.what +
                                        " no longer loads, use the backup " +
                                        services.backups.CopyOf(job.romPath)
                                            .value_or(RomBackups::BackupPathOf(job.romPath))
                                            .string()));
        }
        return Fail(WithOutcome(written.error(), "the ROM file was put back as it was"));
    }
    if (auto flushed = writer->Flush(); !flushed) {
        outcome.notes.push_back("The data was written, but the file could not be flushed to the "
                                "disk: " +
                                Describe(flushed.error()));
    }

    if (auto reread = RomFile::Open(job.romPath, OpenMode::Read); reread) {
        outcome.differences = Differences(*reread, job);
    } else {
        outcome.differences.push_back("the ROM file could not be read back: " +
                                      Describe(reread.error()));
    }
    // Only a job that reads back as written lets go of what it superseded.
    if (outcome.differences.empty()) {
        outcome.givenBack =
            GiveBackBlocks(*file, *writer, job.game, services.storage.Table(), job.superseded);
        if (outcome.givenBack.problem) {
            std::string saved = job.what + " was saved; ";
            saved[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(saved[0])));
            outcome.notes.push_back(saved + *outcome.givenBack.problem + ".");
        }
    }
    return outcome;
}

} // namespace quarnel

#include "storage/RoomSave.h"

#include "common/Hex.h"
#include "rom/RomFile.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/SaveVerify.h"
#include "storage/UndoLog.h"

#include <algorithm>

namespace quarnel {

namespace {

// An error of the save with what it means for the ROM file added to its detail.
Error WithOutcome(Error error, const std::string& outcome) {
    error.detail += (error.detail.empty() ? "" : "; ") + outcome;
    return error;
}

UndoLog RememberTargets(const RomFile& file, const SavePlan& plan) {
    UndoLog undo;
    for (const auto& layer : plan.layers) {
        undo.Remember(file, layer.offset, layer.bytes.size());
    }
    for (const auto& list : plan.spriteWrites) {
        undo.Remember(file, list.offset, list.bytes.size());
    }
    for (const auto& write : plan.inPlaceWrites) {
        undo.Remember(file, write.offset, write.bytes.size());
    }
    undo.Remember(file, plan.headerOffset, RoomHeader::kSize);
    return undo;
}

Result<void, Error> WriteLayerOf(LayerKind kind, RomWriter& writer, const PlannedLayer& layer) {
    if (layer.kind != kind) {
        return Fail(Error{ErrorKind::BadArgument,
                          std::string("a ") + LayerName(layer.kind) + " layer given to the " +
                              LayerName(kind) + " layer writer",
                          std::nullopt});
    }
    return writer.WriteAt(layer.offset, layer.bytes);
}

// Every write of the save, in order; the header is the last. Stops at the first failure.
Result<void, Error> WriteRoom(RomWriter& writer, const SavePlan& plan) {
    if (auto layers = SaveRoomLayers(writer, plan); !layers) {
        return layers;
    }
    // The new layers are on the disk before anything refers to them.
    if (auto flushed = writer.Flush(); !flushed) {
        return flushed;
    }
    for (const auto& list : plan.spriteWrites) {
        if (auto put = writer.WriteAt(list.offset, list.bytes); !put) {
            return put;
        }
    }
    for (const auto& write : plan.inPlaceWrites) {
        if (auto put = writer.WriteAt(write.offset, write.bytes); !put) {
            return put;
        }
    }
    if (auto flushed = writer.Flush(); !flushed) {
        return flushed;
    }
    const auto header = plan.header.ToBytes();
    return writer.WriteAt(plan.headerOffset, header);
}

// The copy this run made of the ROM, or its first backup when none is known.
std::string BackupNamed(const RomBackups& backups, const std::filesystem::path& rom) {
    return backups.CopyOf(rom).value_or(RomBackups::BackupPathOf(rom)).string();
}

} // namespace

Result<void, Error> SaveClipLayer(RomWriter& writer, const PlannedLayer& layer) {
    return WriteLayerOf(LayerKind::Clip, writer, layer);
}

Result<void, Error> SaveForegroundLayer(RomWriter& writer, const PlannedLayer& layer) {
    return WriteLayerOf(LayerKind::Foreground, writer, layer);
}

Result<void, Error> SaveLevelLayer(RomWriter& writer, const PlannedLayer& layer) {
    return WriteLayerOf(LayerKind::Level, writer, layer);
}

Result<void, Error> SaveBackLayer(RomWriter& writer, const PlannedLayer& layer) {
    return WriteLayerOf(LayerKind::Back, writer, layer);
}

Result<void, Error> SaveRoomLayers(RomWriter& writer, const SavePlan& plan) {
    for (const auto& layer : plan.layers) {
        Result<void, Error> written;
        switch (layer.kind) {
        case LayerKind::Clip:
            written = SaveClipLayer(writer, layer);
            break;
        case LayerKind::Foreground:
            written = SaveForegroundLayer(writer, layer);
            break;
        case LayerKind::Level:
            written = SaveLevelLayer(writer, layer);
            break;
        case LayerKind::Back:
            written = SaveBackLayer(writer, layer);
            break;
        }
        if (!written) {
            return written;
        }
    }
    return {};
}

Result<SaveOutcome, Error> SaveRoom(EditorState& state, const HeaderLists& lists,
                                    SaveServices& services) {
    if (auto loaded = state.Storage.LoadStorage(); !loaded) {
        return Fail(WithOutcome(loaded.error(), "nothing was written"));
    }
    auto plan = PlanRoomSave(state, lists, services.pelnix);
    if (!plan) {
        return Fail(plan.error());
    }
    SaveOutcome outcome;
    outcome.notes = plan->notes;
    auto access = OpenRomForWriting(services.backups, plan->romPath);
    if (!access) {
        return Fail(WithOutcome(access.error(), "nothing was written"));
    }
    outcome.backup = access->backup;
    RomFile* file = &access->file;
    auto writer =
        services.writerFor ? services.writerFor(*file) : std::make_unique<RomFileWriter>(*file);
    if (auto space = TakePlacedSpace(state.Storage, plan->game, *file, LayerBlocks(*plan));
        !space) {
        return Fail(space.error());
    }
    const UndoLog undo = RememberTargets(*file, *plan);
    if (auto written = WriteRoom(*writer, *plan); !written) {
        if (auto restored = undo.Restore(*writer); !restored) {
            return Fail(
                WithOutcome(written.error(), "putting the file back as it was also failed (" +
                                                 Describe(restored.error()) +
                                                 "); if the room no longer loads, use the backup " +
                                                 BackupNamed(services.backups, plan->romPath)));
        }
        return Fail(WithOutcome(written.error(), "the ROM file was put back as it was"));
    }
    if (auto flushed = writer->Flush(); !flushed) {
        outcome.notes.push_back("The room was written, but the file could not be flushed to "
                                "the disk: " +
                                Describe(flushed.error()));
    }

    for (size_t index : plan->tilesetRecords) {
        state.Tables.TilesetTableAsRead[index] = state.Tables.TilesetTable[index];
    }
    for (const auto& layer : plan->layers) {
        outcome.layers.push_back(
            {layer.kind, layer.offset, layer.reserved, static_cast<uint32_t>(layer.bytes.size())});
    }
    outcome.spriteLists = plan->spriteWrites;
    outcome.tilesetRecords = plan->tilesetRecords;

    const LoadReport reload = SelectRoom(state, plan->area, plan->room);
    outcome.reloadProblems = reload.Problems;
    outcome.differences = VerifySavedRoom(state, *plan, reload);
    if (auto reread = RomFile::Open(plan->romPath, OpenMode::Read); reread) {
        for (const InPlaceWrite& write : plan->inPlaceWrites) {
            if (!HoldsWrittenBytes(*reread, write)) {
                outcome.differences.push_back(write.what + " reads back differently");
            }
        }
    } else {
        outcome.differences.push_back("the ROM file could not be read again to check the "
                                      "records written in place");
    }
    // Only a save that reads back as written lets go of the old layers.
    if (outcome.differences.empty()) {
        outcome.givenBack =
            GiveBackBlocks(*file, *writer, plan->game, state.Storage.Table(), plan->superseded);
        if (outcome.givenBack.problem) {
            outcome.notes.push_back("The room was saved; " + *outcome.givenBack.problem + ".");
        }
    }
    return outcome;
}

std::string SaveStatusText(const SaveOutcome& outcome) {
    std::string text = outcome.differences.empty()
                           ? "Room saved."
                           : "The room was written but does not read back as saved: see the "
                             "warning.";
    if (auto given = GiveBackSummary(outcome.givenBack)) {
        text += " " + *given;
    }
    if (outcome.backup) {
        text += " A backup of the ROM was written to " + outcome.backup->string() + ".";
    }
    return text;
}

std::optional<std::string> SaveWarningText(const SaveOutcome& outcome) {
    std::string text;
    const auto add = [&text](const std::string& line) {
        text += (text.empty() ? "" : "\r\n") + line;
    };
    if (!outcome.differences.empty()) {
        add("The room was saved, but loading it again shows differences:");
        for (const auto& difference : outcome.differences) {
            add("- " + difference);
        }
    }
    if (!outcome.reloadProblems.empty()) {
        add("Loading the saved room reported:");
        for (const auto& problem : outcome.reloadProblems) {
            add("- " + Describe(problem));
        }
    }
    for (const auto& note : outcome.notes) {
        add(note);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

std::string SaveFailureText(const Error& error) {
    return "The room was not saved.\r\n" + Describe(error) +
           ".\r\nYour changes are still in the editor, so you can save again.";
}

} // namespace quarnel

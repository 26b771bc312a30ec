#include "storage/RoomSave.h"

#include "common/Hex.h"
#include "doors/DoorEdits.h"
#include "rom/RomFile.h"
#include "storage/PelnixBinding.h"
#include "storage/RomBackup.h"
#include "storage/SaveVerify.h"

#include <algorithm>

namespace quarnel {

namespace {

// An error of the save with what it means for the ROM file added to its detail.
Error WithOutcome(Error error, const std::string& outcome) {
    error.detail += (error.detail.empty() ? "" : "; ") + outcome;
    return error;
}

// The save as one write job: the layers into free space, then in place the sprite lists and
// the changed records, and last the room header, the commit point. Sprite lists and the header
// are rewritten over what the file holds now (the plan checked them against what was read).
RomWriteJob SaveJob(const RomFile& file, const SavePlan& plan) {
    RomWriteJob job{plan.romPath, plan.game, LayerBlocks(plan), {}, "the room"};
    for (const SpriteListWrite& list : plan.spriteWrites) {
        job.inPlace.push_back({list.offset, file.ReadBlock(list.offset, list.bytes.size()),
                               list.bytes, "sprite list " + std::to_string(list.listIndex + 1)});
    }
    job.inPlace.insert(job.inPlace.end(), plan.inPlaceWrites.begin(), plan.inPlaceWrites.end());
    const auto header = plan.header.ToBytes();
    job.inPlace.push_back({plan.headerOffset,
                           file.ReadBlock(plan.headerOffset, header.size()),
                           {header.begin(), header.end()},
                           "the room header"});
    return job;
}

} // namespace

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
    RomWriteJob job;
    {
        auto file = RomFile::Open(plan->romPath, OpenMode::Read);
        if (!file) {
            return Fail(WithOutcome(file.error(), "nothing was written"));
        }
        job = SaveJob(*file, *plan);
    }
    // Once the job reads back as written, the old place of each layer is given back.
    job.superseded = plan->superseded;
    RomWriteServices writing{state.Storage, services.backups, services.writerFor};
    auto committed = CommitRomWrites(job, writing);
    if (!committed) {
        return Fail(committed.error());
    }
    outcome.backup = committed->backup;
    outcome.notes.insert(outcome.notes.end(), committed->notes.begin(), committed->notes.end());
    outcome.givenBack = committed->givenBack;

    MarkDoorsSaved(state.Doors, plan->doorRecords);
    if (plan->scrollsWritten) {
        MarkScrollsSaved(state.Scrolls);
    }
    for (size_t index : plan->tilesetRecords) {
        state.Tables.TilesetTableAsRead[index] = state.Tables.TilesetTable[index];
    }
    if (plan->blockTableWrite) {
        state.Graphics.BlocksAsRead = state.Graphics.Blocks;
    }
    for (const auto& layer : plan->layers) {
        outcome.layers.push_back(
            {layer.kind, layer.offset, layer.reserved, static_cast<uint32_t>(layer.bytes.size())});
    }
    outcome.spriteLists = plan->spriteWrites;
    outcome.tilesetRecords = plan->tilesetRecords;
    outcome.doorRecords = plan->doorRecords;
    outcome.scrollsWritten = plan->scrollsWritten;
    if (plan->blockTableWrite) {
        outcome.blockTable = plan->inPlaceWrites[*plan->blockTableWrite];
    }

    // The ROM now holds the room as the history has it.
    state.History.MarkSaved({plan->area, plan->room});
    const LoadReport reload = SelectRoom(state, plan->area, plan->room);
    outcome.reloadProblems = reload.Problems;
    outcome.differences = VerifySavedRoom(state, *plan, reload);
    // The reload above compares the layers, sprite lists and header; the other records
    // written in place are compared byte for byte.
    for (const InPlaceWrite& write : plan->inPlaceWrites) {
        if (std::find(committed->differences.begin(), committed->differences.end(), write.what) !=
            committed->differences.end()) {
            outcome.differences.push_back(write.what + " reads back differently");
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

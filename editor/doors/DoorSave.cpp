#include "doors/DoorSave.h"

#include "doors/DoorEdits.h"

namespace quarnel {

Result<DoorSaveOutcome, Error> SaveDoors(const std::filesystem::path& romPath, Game game,
                                         DoorState& doors, RomWriteServices& services) {
    DoorSaveOutcome outcome;
    RomWriteJob job;
    job.romPath = romPath;
    job.game = game;
    job.inPlace = DoorWrites(doors);
    if (job.inPlace.empty()) {
        return outcome;
    }
    auto written = CommitRomWrites(job, services);
    if (!written) {
        return Fail(written.error());
    }
    if (!written->differences.empty()) {
        // The records stay marked changed: the file does not hold them as they are here.
        std::string detail = "the door records were written but read back differently:";
        for (const auto& what : written->differences) {
            detail += " " + what + ";";
        }
        detail.pop_back();
        return Fail(Error{ErrorKind::VerifyMismatch, detail, std::nullopt});
    }
    outcome.doors = ChangedDoors(doors);
    outcome.write = std::move(written).value();
    MarkDoorsSaved(doors, outcome.doors);
    return outcome;
}

std::string DoorSaveStatusText(const DoorSaveOutcome& outcome) {
    if (outcome.doors.empty()) {
        return "No door was changed.";
    }
    std::string text = "Doors saved (" + std::to_string(outcome.doors.size()) +
                       (outcome.doors.size() == 1 ? " record)." : " records).");
    if (outcome.write.backup) {
        text += " A backup of the ROM was written to " + outcome.write.backup->string() + ".";
    }
    return text;
}

} // namespace quarnel

#include "patch/QtPatchActions.h"

#include "common/Files.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "patch/Patches.h"
#include "storage/RomBackup.h"

#include <QAction>

#include <system_error>

namespace quarnel {

namespace {

constexpr const char* kRomFilter = "GBA roms| *.GBA|Backups| *.bak|All files| *";
constexpr const char* kPatchFilter = "BPS patch| *.bps|IPS patch| *.ips";

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

QString Shown(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

PatchActions::PatchActions(EditorState& state, Dialogs& dialogs, SaveRoom saveRoom, QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_saveRoom(std::move(saveRoom)) {
    m_export = new QAction(QStringLiteral("Export Patch…"), this);
    m_export->setObjectName(QStringLiteral("mnuExportPatch"));
    m_export->setToolTip(
        QStringLiteral("Writes a BPS or IPS patch from the original ROM to the open ROM"));
    m_apply = new QAction(QStringLiteral("Apply Patch…"), this);
    m_apply->setObjectName(QStringLiteral("mnuApplyPatch"));
    m_apply->setToolTip(QStringLiteral("Applies a BPS or IPS patch to a ROM into a new file"));
    connect(m_export, &QAction::triggered, this, [this] { ExportPatch(); });
    connect(m_apply, &QAction::triggered, this, [this] { ApplyPatch(); });
}

void PatchActions::ExportPatch() {
    if (!m_state.RomOpened) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    if (m_state.HasUnsavedChanges() &&
        m_dialogs.Ask("The room has unsaved changes, which the patch would leave out. Save the "
                      "room first?")) {
        if (!m_saveRoom()) {
            return; // the save said why
        }
    }
    // Minimap painting is saved only by the minimap editor's own Save.
    if (m_state.MiniMapChanged() &&
        !m_dialogs.Ask("The minimap has unsaved changes, which the patch would leave out (the "
                       "MiniMap Editor's Save writes them). Make the patch anyway?")) {
        return;
    }
    const std::filesystem::path modified = m_state.RomPath;
    std::optional<std::filesystem::path> original;
    const auto backup = RomBackups::BackupPathOf(modified);
    if (Exists(backup) &&
        m_dialogs.Ask("Make the patch against " + backup.string() +
                      ", the ROM as it was before Quarnel first saved into it?\r\nChoose No to "
                      "pick the original ROM yourself.")) {
        original = backup;
    } else {
        original = m_dialogs.OpenFile("Export Patch: the original ROM", kRomFilter);
    }
    if (!original) {
        return;
    }
    auto out = m_dialogs.SaveFile("Export Patch: the patch file (.bps or .ips)", kPatchFilter);
    if (!out) {
        return;
    }
    if (!out->has_extension()) {
        *out += ".bps";
    }
    auto made = MakePatchFile(*original, modified, *out);
    if (!made) {
        m_dialogs.Message("The patch was not written.\r\n" + Describe(made.error()) + ".");
        return;
    }
    emit statusMessage(QStringLiteral("Patch written to %1 (%2 bytes), from %3 to %4.")
                           .arg(Shown(*out))
                           .arg(*made)
                           .arg(Shown(original->filename()), Shown(modified.filename())));
}

void PatchActions::ApplyPatch() {
    const auto rom = m_dialogs.OpenFile("Apply Patch: the ROM to patch", kRomFilter);
    if (!rom) {
        return;
    }
    const auto patch =
        m_dialogs.OpenFile("Apply Patch: the patch", "Patches| *.bps;*.ips|All files| *");
    if (!patch) {
        return;
    }
    const auto out = m_dialogs.SaveFile("Apply Patch: the patched ROM (a new file)", kRomFilter);
    if (!out) {
        return;
    }
    if (m_state.RomOpened && SameFile(*out, m_state.RomPath)) {
        m_dialogs.Message("The patch was not applied: " + out->string() +
                          " is the ROM open in the editor. Choose a new file for the patched "
                          "ROM.");
        return;
    }
    if (auto applied = ApplyPatchFile(*rom, *patch, *out); !applied) {
        m_dialogs.Message("The patch was not applied; nothing was written.\r\n" +
                          Describe(applied.error()) + ".");
        return;
    }
    emit statusMessage(QStringLiteral("Patched ROM written to %1.").arg(Shown(*out)));
}

} // namespace quarnel

// frmMain: File > Open Recent and Save As, Help > About, stepping through rooms and areas with
// Page Up and Page Down, and confirmations shown in the status bar.

#include "main/frmMain.h"

#include "main/RomOpening.h"
#include "side/frmMiniMap.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>

#ifndef QUARNEL_VERSION
#define QUARNEL_VERSION "unknown"
#endif

namespace quarnel {

namespace {

const QString kRecentKey = QStringLiteral("recentRoms");

QSettings Settings() {
    return QSettings(QStringLiteral("Quarnel"), QStringLiteral("Quarnel"));
}

std::vector<std::string> ReadRecent() {
    std::vector<std::string> recent;
    for (const QString& entry : Settings().value(kRecentKey).toStringList()) {
        recent.push_back(entry.toStdString());
    }
    return recent;
}

void WriteRecent(const std::vector<std::string>& recent) {
    QStringList entries;
    for (const std::string& entry : recent) {
        entries.append(QString::fromStdString(entry));
    }
    Settings().setValue(kRecentKey, entries);
}

} // namespace

void frmMain::BuildFileExtras(QMenu* file, QAction* before) {
    mnuRecent = new QMenu(QStringLiteral("Open &Recent"), file);
    file->insertMenu(before, mnuRecent);
    connect(mnuRecent, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    FillRecentMenu();
    mnuSaveAs = file->addAction(QStringLiteral("Save &As…"));
    mnuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuSaveAs->setToolTip(QStringLiteral("Copies the ROM to a new file and goes on editing there; "
                                         "unsaved changes go into the copy when you save"));
    connect(mnuSaveAs, &QAction::triggered, this, [this] { mnuSaveAs_Click(); });
}

void frmMain::BuildNavigation() {
    QMenu* go = menuBar()->addMenu(QStringLiteral("&Go"));
    const auto add = [&](const char* name, QKeySequence key, std::function<void()> act) {
        QAction* action = go->addAction(QString::fromLatin1(name), this, std::move(act));
        action->setShortcut(key);
    };
    add("Previous Room", QKeySequence(Qt::Key_PageUp), [this] { StepRoom(-1); });
    add("Next Room", QKeySequence(Qt::Key_PageDown), [this] { StepRoom(1); });
    add("Previous Area", QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { StepArea(-1); });
    add("Next Area", QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { StepArea(1); });
}

void frmMain::BuildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuCredits = help->addAction(QStringLiteral("Credits"));
    mnuAbout =
        help->addAction(QStringLiteral("&About Quarnel"), this, [this] { mnuAbout_Click(); });
}

void frmMain::FillRecentMenu() {
    mnuRecent->clear();
    const auto recent = ReadRecent();
    for (const std::string& path : recent) {
        QAction* entry = mnuRecent->addAction(QString::fromStdString(path));
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    mnuRecent->setEnabled(!recent.empty());
}

void frmMain::RememberRom(const std::filesystem::path& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    WriteRecent(WithRecentRom(ReadRecent(), (error ? path : absolute).string()));
    FillRecentMenu();
}

void frmMain::OpenRecent(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        auto recent = ReadRecent();
        std::erase(recent, path);
        WriteRecent(recent);
        FillRecentMenu();
        m_dialogs.Message(path + " no longer exists; it was taken off the recent files.");
        return;
    }
    OpenRomPath(path);
}

void frmMain::mnuSaveAs_Click() {
    if (!m_state.RomOpened) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    const auto chosen = m_dialogs.SaveFile("Save ROM As", "GBA roms| *.gba");
    if (!chosen || chosen->empty()) {
        return;
    }
    const std::filesystem::path from = m_state.RomPath;
    if (auto copied = SaveRomAs(m_state, *chosen); !copied) {
        m_dialogs.Message("The ROM was not copied.\r\n" + Describe(copied.error()) + ".");
        return;
    }
    bool miniMapUnsaved = false;
    if (auto* miniMap = qobject_cast<frmMiniMap*>(m_miniMapWindow)) {
        miniMap->RomCopied(from); // its unsaved painting now goes into the copy
        miniMapUnsaved = miniMap->HasUnsavedChanges();
    }
    RememberRom(*chosen);
    UpdateTitle();
    Inform("Copied the ROM to " + chosen->string() + "; editing goes on there." +
           (m_state.HasUnsavedChanges() ? " Save Room writes the unsaved changes into it." : "") +
           (miniMapUnsaved ? " The minimap editor's Save writes its painting into it." : ""));
}

void frmMain::mnuAbout_Click() {
    m_dialogs.Message(
        std::string("Quarnel ") + QUARNEL_VERSION +
        "\r\nA room editor for Metroid: Zero Mission and Metroid Fusion ROM images."
        "\r\nLicence: none chosen yet; until one is, the Quarnel developers reserve all rights."
        "\r\n\r\nBuilt with Qt " +
        qVersion() +
        " (LGPL v3) and zlib (zlib licence), and with Pelnix, our own GBA "
        "compression library.");
}

void frmMain::StepRoom(int delta) {
    if (!m_state.RomOpened || m_state.Room < 0) {
        return;
    }
    const int room = m_state.Room + delta;
    if (room < 0 || room >= m_roomCount) {
        return;
    }
    {
        const QSignalBlocker blocker(cboRoom);
        cboRoom->setCurrentIndex(room);
    }
    cboRoom_Click();
}

void frmMain::StepArea(int delta) {
    if (!m_state.RomOpened || m_state.Area < 0) {
        return;
    }
    const int area = m_state.Area + delta;
    if (area < 0 || area >= cboAreas->count()) {
        return;
    }
    {
        const QSignalBlocker blocker(cboAreas);
        cboAreas->setCurrentIndex(area);
    }
    cboAreas_Click();
}

void frmMain::Inform(const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text), 15000);
}

} // namespace quarnel

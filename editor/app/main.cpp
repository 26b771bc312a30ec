// quarnel: the editor program.
//
//   quarnel [ROM]                     opens ROM at start as "&Open" would
//   quarnel --screenshot OUT.png ROM  opens ROM, saves a picture of the window and quits;
//                                     messages go to the standard error instead of boxes

#include "graphics/frmPal.h"
#include "main/QtDialogs.h"
#include "main/frmMain.h"
#include "rom/ProgramFolder.h"
#include "side/frmMiniMap.h"
#include "side/frmMusicView.h"
#include "side/frmTSA.h"
#include "sprites/frmED.h"
#include "storage/PelnixBinding.h"
#include "storage/RomTransaction.h"
#include "storage/Storage.h"
#include "storage/frmData.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// Dialogs for an unattended run: messages are printed, questions answered No, and no file
// is ever chosen.
class UnattendedDialogs : public quarnel::Dialogs {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool Ask(const std::string&) override { return false; }
    std::optional<std::string> InputBox(const std::string&) override { return std::nullopt; }
    std::optional<std::filesystem::path> OpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> SaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quarnel"));
    QApplication::setApplicationName(QStringLiteral("Quarnel"));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    QString screenshot;
    if (arguments.size() >= 2 && arguments.first() == QStringLiteral("--screenshot")) {
        screenshot = arguments.at(1);
        arguments = arguments.mid(2);
    }

    auto state = std::make_unique<quarnel::EditorState>(quarnel::StorageSystem::DefaultPath());
    quarnel::QtDialogs interactive(nullptr);
    UnattendedDialogs unattended;
    quarnel::Dialogs& dialogs =
        screenshot.isEmpty() ? static_cast<quarnel::Dialogs&>(interactive) : unattended;

    // The writers outside Save Room share the window's backup record; set once the window is.
    std::unique_ptr<quarnel::RomWriteServices> writeServices;

    quarnel::frmMain::SideWindows sideWindows;
    sideWindows.palette = [&](QWidget* parent) -> QWidget* {
        return new quarnel::frmPal(*state, dialogs, parent);
    };
    sideWindows.enemyData = [&](QWidget* parent) -> QWidget* {
        return new quarnel::frmED(*state, {}, parent);
    };
    sideWindows.storage = [&](QWidget* parent) -> QWidget* {
        return new quarnel::frmData(*state, dialogs, parent);
    };
    sideWindows.miniMap = [&](QWidget* parent) -> QWidget* {
        auto* main = static_cast<quarnel::frmMain*>(parent);
        return new quarnel::frmMiniMap(
            *state, dialogs, *writeServices,
            [main] { return QPoint(main->cboMX->currentIndex(), main->cboMY->currentIndex()); },
            parent);
    };
    sideWindows.music = [&](QWidget* parent) -> QWidget* {
        auto* main = static_cast<quarnel::frmMain*>(parent);
        return new quarnel::frmMusicView(
            *state, dialogs, [main] { return main->cboMusic->currentIndex(); }, parent);
    };
    sideWindows.tiles = [&](QWidget* parent) -> QWidget* {
        auto* main = qobject_cast<quarnel::frmMain*>(parent);
        auto* tiles = new quarnel::frmTSA(*state, dialogs, main->Backups(), parent);
        QObject::connect(tiles, &quarnel::frmTSA::graphicsChanged, main,
                         &quarnel::frmMain::RefreshGraphics);
        return tiles;
    };
    sideWindows.reload = [](QWidget* window) {
        if (auto* palette = qobject_cast<quarnel::frmPal*>(window)) {
            palette->LoadForm();
        } else if (auto* enemies = qobject_cast<quarnel::frmED*>(window)) {
            enemies->LoadForm();
        } else if (auto* storage = qobject_cast<quarnel::frmData*>(window)) {
            storage->ShowStored();
        } else if (auto* miniMap = qobject_cast<quarnel::frmMiniMap*>(window)) {
            if (miniMap->isVisible()) {
                miniMap->RoomLoaded();
            }
        } else if (auto* music = qobject_cast<quarnel::frmMusicView*>(window)) {
            if (music->isVisible()) {
                music->Form_Load();
            }
        } else if (auto* tiles = qobject_cast<quarnel::frmTSA*>(window)) {
            tiles->LoadForm();
        }
    };

    sideWindows.refresh = [reload = sideWindows.reload](QWidget* window) {
        if (auto* miniMap = qobject_cast<quarnel::frmMiniMap*>(window)) {
            miniMap->Refresh(); // its unsaved painting stays
        } else {
            reload(window);
        }
    };

    quarnel::frmMain window(*state, dialogs, quarnel::ProgramFolder(), quarnel::DefaultPelnix(),
                            std::move(sideWindows));
    interactive.SetParent(&window);
    writeServices = std::make_unique<quarnel::RomWriteServices>(
        quarnel::RomWriteServices{state->Storage, window.Backups(), {}});
    if (screenshot.isEmpty()) {
        // Window geometry and side-window positions carry over between runs.
        window.RememberPlacement(std::make_unique<QSettings>());
    }
    window.show();
    if (!arguments.isEmpty()) {
        window.OpenRomPath(arguments.first().toStdString());
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(800, &window, [&window, screenshot] {
            const bool saved = window.grab().save(screenshot);
            std::fprintf(stderr, "%s %s\n", saved ? "Saved" : "Could not save",
                         screenshot.toLocal8Bit().constData());
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}

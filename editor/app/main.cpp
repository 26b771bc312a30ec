// quarnel: the editor program. `quarnel [ROM]` opens ROM at start as "&Open" would.

#include "graphics/frmPal.h"
#include "main/QtDialogs.h"
#include "main/frmMain.h"
#include "rom/ProgramFolder.h"
#include "sprites/frmED.h"
#include "storage/Storage.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarnel"));
    auto state = std::make_unique<quarnel::EditorState>(quarnel::StorageSystem::DefaultPath());
    quarnel::QtDialogs dialogs(nullptr);

    quarnel::frmMain::SideWindows sideWindows;
    sideWindows.palette = [&](QWidget* parent) -> QWidget* {
        return new quarnel::frmPal(*state, dialogs, parent);
    };
    sideWindows.enemyData = [&](QWidget* parent) -> QWidget* {
        return new quarnel::frmED(*state, {}, parent);
    };
    sideWindows.reload = [](QWidget* window) {
        if (auto* palette = qobject_cast<quarnel::frmPal*>(window)) {
            palette->LoadForm();
        } else if (auto* enemies = qobject_cast<quarnel::frmED*>(window)) {
            enemies->LoadForm();
        }
    };

    quarnel::frmMain window(*state, dialogs, quarnel::ProgramFolder(), std::move(sideWindows));
    dialogs.SetParent(&window);
    window.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.OpenRomPath(arguments.at(1).toStdString());
    }
    return QApplication::exec();
}

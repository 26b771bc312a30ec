#include "emulator/QtRunActions.h"

#include "emulator/EmulatorCommand.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"

#include <QAction>
#include <QKeySequence>
#include <QProcess>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include <cstdlib>

namespace quarnel {

RunActions::RunActions(EditorState& state, Dialogs& dialogs, SaveRoom saveRoom,
                       std::unique_ptr<QSettings> settings, QWidget* window)
    : QObject(window), m_state(state), m_dialogs(dialogs), m_saveRoom(std::move(saveRoom)),
      m_settings(std::move(settings)) {
    m_run = new QAction(QStringLiteral("Run"), this);
    m_run->setObjectName(QStringLiteral("mnuRun"));
    m_run->setShortcut(QKeySequence(Qt::Key_F5));
    m_run->setShortcutContext(Qt::WindowShortcut);
    m_run->setToolTip(QStringLiteral("Runs the ROM in your emulator (F5)"));
    if (window != nullptr) {
        m_run->setIcon(window->style()->standardIcon(QStyle::SP_MediaPlay));
    }
    m_emulator = new QAction(QStringLiteral("Emulator Command…"), this);
    m_emulator->setObjectName(QStringLiteral("mnuEmulator"));
    if (window != nullptr) {
        window->addAction(m_run);
    }
    connect(m_run, &QAction::triggered, this, [this] { Run(); });
    connect(m_emulator, &QAction::triggered, this, [this] { SetEmulatorCommand(); });
}

RunActions::~RunActions() = default;

QString RunActions::EmulatorCommand() const {
    return m_settings->value(QString::fromLatin1(kEmulatorKey)).toString();
}

void RunActions::Run() {
    if (!m_state.RomOpened) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    if (m_state.HasUnsavedChanges() &&
        m_dialogs.Ask("The room has unsaved changes. Save the room before running the ROM?")) {
        if (!m_saveRoom()) {
            return; // the save said why
        }
    }
    const char* path = std::getenv("PATH");
    auto plan = PlanEmulatorLaunch(EmulatorCommand().toStdString(), path != nullptr ? path : "",
                                   m_state.RomPath);
    if (!plan) {
        m_dialogs.Message("The emulator was not started: " + Describe(plan.error()) +
                          ".\r\nChange it with File > Emulator Command…");
        return;
    }
    if (!*plan) {
        m_dialogs.Message(NoEmulatorText());
        return;
    }
    const EmulatorLaunch& launch = **plan;
    QStringList arguments;
    for (const std::string& argument : launch.arguments) {
        arguments.append(QString::fromStdString(argument));
    }
    const QString program = QString::fromStdString(launch.program);
    if (!QProcess::startDetached(program, arguments)) {
        m_dialogs.Message("The emulator could not be started: " + launch.program +
                          "\r\nChange it with File > Emulator Command…");
        return;
    }
    emit statusMessage(QStringLiteral("Started %1 on %2.")
                           .arg(program, QString::fromStdString(m_state.RomPath.string())));
}

void RunActions::SetEmulatorCommand() {
    const QString current = EmulatorCommand();
    const std::string now = current.isEmpty() ? "none (the first of mgba-qt and mgba found on "
                                                "the PATH)"
                                              : current.toStdString();
    auto answer = m_dialogs.InputBox(
        "The command that runs the ROM in your emulator. %f stands for the ROM's path; "
        "without it the path is added at the end. Leave it empty to use mgba-qt or mgba from "
        "the PATH.\r\nNow: " +
        now);
    if (!answer) {
        return; // cancelled: nothing changes
    }
    if (auto checked = SplitCommandLine(*answer); !checked) {
        m_dialogs.Message("The emulator command was not changed: " + Describe(checked.error()) +
                          ".");
        return;
    }
    const QString command = QString::fromStdString(*answer).trimmed();
    if (command.isEmpty()) {
        m_settings->remove(QString::fromLatin1(kEmulatorKey));
    } else {
        m_settings->setValue(QString::fromLatin1(kEmulatorKey), command);
    }
    m_settings->sync();
    emit statusMessage(command.isEmpty() ? QStringLiteral("Run uses mgba-qt or mgba from the PATH.")
                                         : QStringLiteral("Run uses: %1").arg(command));
}

} // namespace quarnel

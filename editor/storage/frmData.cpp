#include "storage/frmData.h"

#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "rom/Game.h"
#include "storage/Storage.h"
#include "storage/StorageBarWidget.h"
#include "storage/StorageEditing.h"
#include "storage/StorageMap.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <string>
#include <system_error>

namespace quarnel {

namespace {

QString Shown(int32_t value) {
    return QString::fromStdString(StorageDisplayHex(value));
}

const char* GameName(Game game) {
    return game == Game::MF ? "Metroid Fusion" : "Zero Mission";
}

} // namespace

frmData::frmData(EditorState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmData"));
    setWindowTitle(QStringLiteral("Storage Editor"));

    cmdZMReset = new QPushButton(QStringLiteral("Reset"));
    cmdZMReset->setObjectName(QStringLiteral("cmdZMReset"));
    Boxes zm{};
    Boxes mf{};
    auto* zmFrame =
        MakeFrame(QStringLiteral("Zero Mission Data"), QStringLiteral("ZM"), zm, cmdZMReset);
    auto* mfFrame =
        MakeFrame(QStringLiteral("Metroid Fusion Data"), QStringLiteral("MF"), mf, nullptr);
    cboZMList = zm.list;
    txtZMOff = zm.offset;
    txtZMUsed = zm.used;
    txtZMLength = zm.length;
    cmdZMSave = zm.save;
    cboMFList = mf.list;
    txtMFOff = mf.offset;
    txtMFUsed = mf.used;
    txtMFLength = mf.length;
    cmdMFSave = mf.save;

    cmdFit = new QPushButton(QStringLiteral("Fit to ROM"));
    cmdFit->setObjectName(QStringLiteral("cmdFit"));
    cmdFit->setToolTip(QStringLiteral(
        "Sets each Space Used of the open ROM's game to just past the last data in its area."));
    lblStatus = new QLabel;
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto* frames = new QHBoxLayout;
    frames->addWidget(zmFrame);
    frames->addWidget(mfFrame);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdFit);
    bottom->addWidget(lblStatus, 1);
    fraUsage = new QGroupBox(QStringLiteral("Free space in the open ROM"));
    fraUsage->setObjectName(QStringLiteral("fraUsage"));
    picUsage = new StorageBarWidget;
    lblUsage = new QLabel;
    lblUsage->setObjectName(QStringLiteral("lblUsage"));
    auto* usage = new QVBoxLayout(fraUsage);
    usage->addWidget(picUsage);
    usage->addWidget(lblUsage);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(bottom);
    layout->addWidget(fraUsage);

    // A choice by the user, also of the area already shown, shows it again.
    connect(cboZMList, &QComboBox::activated, this, [this] { cboZMList_Click(); });
    connect(cboZMList, &QComboBox::currentIndexChanged, this, [this] { cboZMList_Click(); });
    connect(cboMFList, &QComboBox::activated, this, [this] { cboMFList_Click(); });
    connect(cboMFList, &QComboBox::currentIndexChanged, this, [this] { cboMFList_Click(); });
    connect(cmdZMSave, &QPushButton::clicked, this, [this] { cmdZMSave_Click(); });
    connect(cmdMFSave, &QPushButton::clicked, this, [this] { cmdMFSave_Click(); });
    connect(cmdZMReset, &QPushButton::clicked, this, [this] { cmdZMReset_Click(); });
    connect(cmdFit, &QPushButton::clicked, this, [this] { cmdFit_Click(); });
}

QGroupBox* frmData::MakeFrame(const QString& caption, const QString& prefix, Boxes& boxes,
                              QPushButton* extraButton) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(QStringLiteral("fra") + prefix);
    boxes.list = new QComboBox;
    boxes.list->setObjectName(QStringLiteral("cbo") + prefix + QStringLiteral("List"));
    const auto box = [&prefix](const QString& name) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QStringLiteral("txt") + prefix + name);
        edit->setMaxLength(6);
        return edit;
    };
    boxes.offset = box(QStringLiteral("Off"));
    boxes.used = box(QStringLiteral("Used"));
    boxes.length = box(QStringLiteral("Length"));
    boxes.save = new QPushButton(QStringLiteral("Save "));
    boxes.save->setObjectName(QStringLiteral("cmd") + prefix + QStringLiteral("Save"));
    boxes.save->setToolTip(
        QStringLiteral("Stores the shown area's Offset, Space Used and Length (hexadecimal)."));

    auto* form = new QFormLayout;
    form->addRow(boxes.list);
    form->addRow(QStringLiteral("Offset:"), boxes.offset);
    form->addRow(QStringLiteral("Space Used:"), boxes.used);
    form->addRow(QStringLiteral("Length:"), boxes.length);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(boxes.save);
    if (extraButton != nullptr) {
        buttons->addWidget(extraButton);
    }
    auto* column = new QVBoxLayout(frame);
    column->addLayout(form);
    column->addLayout(buttons);
    column->addStretch();
    return frame;
}

void frmData::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        Form_Load();
    }
}

void frmData::Form_Load() {
    if (auto loaded = m_state.Storage.LoadStorage(); !loaded) {
        m_dialogs.Message(Describe(loaded.error()));
    }
    const auto fill = [](QComboBox* list, size_t count) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (size_t i = 0; i < count; ++i) {
            list->addItem(QString::number(i));
        }
        list->setCurrentIndex(0);
    };
    fill(cboZMList, kZMUsableAreaCount);
    fill(cboMFList, kMFUsableAreaCount);
    ShowBoth();
}

void frmData::ShowStored() {
    if (auto loaded = m_state.Storage.LoadStorage(); !loaded) {
        m_dialogs.Message(Describe(loaded.error()));
    }
    ShowBoth();
}

frmData::Boxes frmData::BoxesOf(Game game) const {
    if (game == Game::MF) {
        return {cboMFList, txtMFOff, txtMFUsed, txtMFLength, cmdMFSave};
    }
    return {cboZMList, txtZMOff, txtZMUsed, txtZMLength, cmdZMSave};
}

void frmData::ShowArea(Game game) {
    const Boxes boxes = BoxesOf(game);
    const auto areas = UsableAreas(m_state.Storage.Table(), game);
    const int index = boxes.list->currentIndex();
    if (index < 0 || static_cast<size_t>(index) >= areas.size()) {
        return;
    }
    const StorageArea& area = areas[static_cast<size_t>(index)];
    (game == Game::MF ? m_shownMF : m_shownZM) = std::pair{static_cast<size_t>(index), area};
    boxes.used->setText(Shown(area.Used));
    boxes.offset->setText(Shown(area.Offset));
    boxes.length->setText(Shown(area.Length));
}

void frmData::cboZMList_Click() {
    ShowArea(Game::ZM);
}

void frmData::cboMFList_Click() {
    ShowArea(Game::MF);
}

void frmData::ShowBoth() {
    cboZMList_Click();
    cboMFList_Click();
    ShowUsage();
}

void frmData::ShowUsage() {
    if (!m_state.RomOpened || m_state.GameCode == Game::None) {
        picUsage->SetUsage(Game::None, {});
        lblUsage->setText(QStringLiteral("Open a ROM to see how it uses its free space."));
        return;
    }
    const Game game = m_state.GameCode;
    auto usage = MapStorage(m_state.Storage.Table(), game, m_state.RomPath);
    if (!usage) {
        picUsage->SetUsage(Game::None, {});
        lblUsage->setText(QString::fromStdString(Describe(usage.error())));
        return;
    }
    picUsage->SetUsage(game, std::move(*usage));
    fraUsage->setTitle(QStringLiteral("Free space of %1 in %2")
                           .arg(QString::fromLatin1(GameName(game)),
                                QString::fromStdString(m_state.RomPath.filename().string())));
    lblUsage->setText(QStringLiteral("Space a save gives back is handed out again before an area "
                                     "grows."));
}

void frmData::cmdZMSave_Click() {
    SaveShownArea(Game::ZM, BoxesOf(Game::ZM));
}

void frmData::cmdMFSave_Click() {
    SaveShownArea(Game::MF, BoxesOf(Game::MF));
}

void frmData::SaveShownArea(Game game, const Boxes& boxes) {
    const int index = boxes.list->currentIndex();
    if (index < 0) {
        return;
    }
    // The open ROM bounds the areas of its own game.
    std::optional<uint64_t> romSize;
    if (m_state.RomOpened && m_state.GameCode == game) {
        std::error_code error;
        const auto size = std::filesystem::file_size(m_state.RomPath, error);
        if (!error) {
            romSize = size;
        }
    }
    const StorageAreaText text{boxes.offset->text().toStdString(), boxes.used->text().toStdString(),
                               boxes.length->text().toStdString()};
    auto& storage = m_state.Storage;
    if (auto loaded = storage.LoadStorage(); !loaded) {
        m_dialogs.Message(Describe(loaded.error()));
        return;
    }
    // The boxes were filled from an older table (a save handed out space since): storing them
    // would give that space out again.
    const auto& shown = game == Game::MF ? m_shownMF : m_shownZM;
    const auto areas = UsableAreas(storage.Table(), game);
    if (static_cast<size_t>(index) < areas.size() &&
        (!shown || shown->first != static_cast<size_t>(index) ||
         !(shown->second == areas[static_cast<size_t>(index)]))) {
        ShowBoth();
        m_dialogs.Message("Area " + std::to_string(index) + " of " + GameName(game) +
                          " changed in os.bin since it was shown; nothing was stored. The window "
                          "shows its values now: change them again and press Save.");
        return;
    }
    auto area = ParseStorageArea(game, static_cast<size_t>(index), text, storage.Table(), romSize);
    if (!area) {
        m_dialogs.Message(Describe(area.error()));
        return;
    }
    if (auto stored = storage.SetArea(game, static_cast<size_t>(index), *area); !stored) {
        m_dialogs.Message(Describe(stored.error()));
        return;
    }
    ShowBoth();
    lblStatus->setText(
        QStringLiteral("%1 area %2 saved.").arg(QString::fromLatin1(GameName(game))).arg(index));
}

void frmData::cmdZMReset_Click() {
    if (auto reset = m_state.Storage.ResetStorage(); !reset) {
        m_dialogs.Message(Describe(reset.error()));
        return;
    }
    ShowBoth();
    lblStatus->setText(QStringLiteral("Default areas restored; every Space Used kept."));
}

void frmData::cmdFit_Click() {
    if (!m_state.RomOpened || m_state.GameCode == Game::None) {
        m_dialogs.Message("No rom loaded");
        return;
    }
    const Game game = m_state.GameCode;
    if (auto fitted = FitStorageToRom(m_state.Storage, game, m_state.RomPath); !fitted) {
        m_dialogs.Message(Describe(fitted.error()));
        return;
    }
    ShowBoth();
    lblStatus->setText(QStringLiteral("The %1 areas now fit %2.")
                           .arg(QString::fromLatin1(GameName(game)),
                                QString::fromStdString(m_state.RomPath.filename().string())));
}

} // namespace quarnel

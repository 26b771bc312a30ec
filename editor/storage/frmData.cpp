#include "storage/frmData.h"

#include "main/Dialogs.h"
#include "rom/Game.h"
#include "storage/Storage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quarnel {

namespace {

QString Shown(int32_t value) {
    return QString::fromStdString(StorageDisplayHex(value));
}

void ShowArea(const StorageTable& table, Game game, int index, QLineEdit* offset, QLineEdit* used,
              QLineEdit* length) {
    const auto areas = UsableAreas(table, game);
    if (index < 0 || static_cast<size_t>(index) >= areas.size()) {
        return;
    }
    const StorageArea& area = areas[static_cast<size_t>(index)];
    used->setText(Shown(area.Used));
    offset->setText(Shown(area.Offset));
    length->setText(Shown(area.Length));
}

} // namespace

frmData::frmData(StorageSystem& storage, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_storage(storage), m_dialogs(dialogs) {
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

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(zmFrame);
    layout->addWidget(mfFrame);

    // A choice by the user, also of the area already shown, shows it again.
    connect(cboZMList, &QComboBox::activated, this, [this] { cboZMList_Click(); });
    connect(cboZMList, &QComboBox::currentIndexChanged, this, [this] { cboZMList_Click(); });
    connect(cboMFList, &QComboBox::activated, this, [this] { cboMFList_Click(); });
    connect(cboMFList, &QComboBox::currentIndexChanged, this, [this] { cboMFList_Click(); });
    connect(cmdZMReset, &QPushButton::clicked, this, [this] { cmdZMReset_Click(); });
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
        QStringLiteral("Edited values are not stored: the areas can only be reset."));

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
    if (auto loaded = m_storage.LoadStorage(); !loaded) {
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
    cboZMList_Click();
    cboMFList_Click();
}

void frmData::cboZMList_Click() {
    ShowArea(m_storage.Table(), Game::ZM, cboZMList->currentIndex(), txtZMOff, txtZMUsed,
             txtZMLength);
}

void frmData::cboMFList_Click() {
    ShowArea(m_storage.Table(), Game::MF, cboMFList->currentIndex(), txtMFOff, txtMFUsed,
             txtMFLength);
}

void frmData::cmdZMReset_Click() {
    if (auto reset = m_storage.ResetStorage(); !reset) {
        m_dialogs.Message(Describe(reset.error()));
    }
}

} // namespace quarnel

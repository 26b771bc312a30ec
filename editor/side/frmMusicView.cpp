#include "side/frmMusicView.h"

#include "common/Error.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"
#include "rom/RomFile.h"
#include "side/MusicView.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace quarnel {

namespace {

constexpr int kBoxWidth = 64; // pixels; Text5 is twice as wide
constexpr int kBoxStep = 24;  // the boxes stand 360 twips apart

QLineEdit* ReadOnlyBox(const QString& name, int width) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFixedWidth(width);
    return box;
}

} // namespace

frmMusicView::frmMusicView(EditorState& state, Dialogs& dialogs, SongSource song, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs), m_song(std::move(song)) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Form1"));

    auto* boxes = new QGridLayout;
    boxes->setVerticalSpacing(0);
    for (int i = 0; i < 8; ++i) {
        const QString name = QStringLiteral("Text%1").arg(i + 1);
        Text[i] = ReadOnlyBox(name, i == 4 ? 2 * kBoxWidth : kBoxWidth);
        Text[i]->setText(name);
        boxes->setRowMinimumHeight(i, kBoxStep);
        boxes->addWidget(Text[i], i, 0, Qt::AlignLeft);
    }
    Label1 = new QLabel(QStringLiteral("Label1"));
    Label1->setObjectName(QStringLiteral("Label1"));
    boxes->addWidget(Label1, 0, 1, Qt::AlignLeft | Qt::AlignTop);

    fraSong = new QGroupBox(QStringLiteral("Song"));
    fraSong->setObjectName(QStringLiteral("fraSong"));
    m_songFields = new QFormLayout(fraSong);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(fraSong, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMusicView::setVisible(bool visible) {
    if (visible && !isVisible() && !Form_Load()) {
        return;
    }
    QWidget::setVisible(visible);
}

bool frmMusicView::Form_Load() {
    if (!m_state.RomOpened) {
        m_dialogs.Message("Open a ROM first: the music viewer reads the song of the room shown.");
        return false;
    }
    auto file = RomFile::Open(m_state.RomPath, OpenMode::Read);
    if (!file) {
        m_dialogs.Message(Describe(file.error()));
        return false;
    }
    const int song = m_song ? m_song() : 0;
    const MusicView view =
        ReadMusicView(*file, m_state.GameCode, static_cast<uint32_t>(std::max(0, song)));
    for (size_t i = 0; i < Text.size(); ++i) {
        Text[i]->setText(QString::fromStdString(view.boxes[i]));
    }
    Label1->setText(QString::fromStdString(view.label));

    while (m_songFields->rowCount() > 0) {
        m_songFields->removeRow(0);
    }
    for (const auto& [label, value] : view.song) {
        auto* field = new QLabel(QString::fromStdString(value));
        field->setObjectName(QString::fromStdString("song " + label));
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_songFields->addRow(QString::fromStdString(label + ":"), field);
    }
    return true;
}

} // namespace quarnel

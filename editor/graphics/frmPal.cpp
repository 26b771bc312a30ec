#include "graphics/frmPal.h"

#include "graphics/Gba.h"
#include "graphics/Surface.h"
#include "main/Dialogs.h"
#include "main/EditorState.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

namespace quarnel {

namespace {

constexpr int kSwatchSize = 16; // pixels

// A filled square that reports the button pressed on it.
class PaletteSwatch : public QFrame {
public:
    PaletteSwatch(std::function<void(Qt::MouseButton)> onPress, QWidget* parent)
        : QFrame(parent), m_onPress(std::move(onPress)) {
        setFixedSize(kSwatchSize, kSwatchSize);
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { m_onPress(event->button()); }

private:
    std::function<void(Qt::MouseButton)> m_onPress;
};

void SetFill(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

QColor FillOf(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

// The preview scales each slider value by 8, the step between two 5-bit GBA levels.
int PreviewLevel(int value) {
    return std::min(255, 8 * value);
}

QScrollBar* MakeSlider(QWidget* parent) {
    auto* slider = new QScrollBar(Qt::Horizontal, parent);
    slider->setRange(0, 255);
    slider->setMinimumWidth(160);
    return slider;
}

} // namespace

frmPal::frmPal(EditorState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("DEBUG"));

    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    for (int row = 0; row < kPaletteRows; ++row) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblPal%1").arg(row));
        grid->addWidget(label, row, 0);
        m_lblPal[row] = label;
        for (int column = 0; column < kRowColours; ++column) {
            const int index = kRowColours * row + column;
            auto* swatch = new PaletteSwatch(
                [this, index](Qt::MouseButton button) { picPal_MouseDown(index, button); }, this);
            swatch->setObjectName(QStringLiteral("picPal%1").arg(index));
            grid->addWidget(swatch, row, column + 1);
            m_picPal[index] = swatch;
        }
    }

    auto* view = new QGroupBox(QStringLiteral("Pal View"), this);
    auto* sliders = new QGridLayout;
    m_hsbRed = MakeSlider(view);
    m_hsbGreen = MakeSlider(view);
    m_hsbBlue = MakeSlider(view);
    m_hsbRed->setObjectName(QStringLiteral("hsbRed"));
    m_hsbGreen->setObjectName(QStringLiteral("hsbGreen"));
    m_hsbBlue->setObjectName(QStringLiteral("hsbBlue"));
    const std::array<std::pair<const char*, QScrollBar*>, 3> rows{
        {{"R", m_hsbRed}, {"G", m_hsbGreen}, {"B", m_hsbBlue}}};
    for (int i = 0; i < 3; ++i) {
        sliders->addWidget(new QLabel(QString::fromLatin1(rows[i].first), view), i, 0);
        sliders->addWidget(rows[i].second, i, 1);
        connect(rows[i].second, &QScrollBar::valueChanged, this, [this] { hsb_Change(); });
    }
    m_picPalette = new QFrame(view);
    m_picPalette->setObjectName(QStringLiteral("picPalette"));
    m_picPalette->setFixedSize(48, 48);
    m_picPalette->setFrameShape(QFrame::Box);
    m_picPalette->setAutoFillBackground(true);
    sliders->addWidget(m_picPalette, 0, 2, 3, 1);

    auto* viewLayout = new QVBoxLayout(view);
    viewLayout->addWidget(new QLabel(QStringLiteral("Editing Sector X Pal X"), view));
    viewLayout->addLayout(sliders);
    // The button is part of the window's design but saves nothing: the viewer never writes
    // the palette back.
    viewLayout->addWidget(new QPushButton(QStringLiteral("Save"), view), 0, Qt::AlignLeft);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(view, 0, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    hsb_Change();
    LoadForm();
}

void frmPal::LoadForm() {
    for (int row = 0; row < kPaletteRows; ++row) {
        m_lblPal[row]->setText(QStringLiteral("Pal: ") + QString::number(row, 16).toUpper());
    }
    const ColourTable& colours = m_state.Graphics.Colours;
    for (size_t i = 0; i < m_picPal.size(); ++i) {
        const uint32_t pixel = colours[i];
        SetFill(m_picPal[i], QColor(RedOf(pixel), GreenOf(pixel), BlueOf(pixel)));
    }
}

QColor frmPal::SwatchColour(int index) const {
    return FillOf(m_picPal.at(static_cast<size_t>(index)));
}

QColor frmPal::PreviewColour() const {
    return FillOf(m_picPalette);
}

void frmPal::showEvent(QShowEvent* event) {
    // Opening the window again shows the palette of this moment, as a fresh load would.
    if (!event->spontaneous()) {
        LoadForm();
    }
    QWidget::showEvent(event);
}

void frmPal::hsb_Change() {
    SetFill(m_picPalette, QColor(PreviewLevel(m_hsbRed->value()), PreviewLevel(m_hsbGreen->value()),
                                 PreviewLevel(m_hsbBlue->value())));
}

// A right click takes the swatch's 8-bit components into the sliders and names the swatch's
// row and column; the preview then shows them on the slider scale.
void frmPal::picPal_MouseDown(int index, Qt::MouseButton button) {
    if (button != Qt::RightButton) {
        return;
    }
    const uint32_t pixel = m_state.Graphics.Colours[static_cast<size_t>(index)];
    m_hsbRed->setValue(RedOf(pixel));
    m_hsbGreen->setValue(GreenOf(pixel));
    m_hsbBlue->setValue(BlueOf(pixel));
    m_dialogs.Message(std::to_string(index / kRowColours));
    m_dialogs.Message(std::to_string(index % kRowColours));
    hsb_Change();
}

} // namespace quarnel

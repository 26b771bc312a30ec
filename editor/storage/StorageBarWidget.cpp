#include "storage/StorageBarWidget.h"

#include <QLocale>
#include <QPainter>

namespace quarnel {

namespace {

constexpr int kRowHeight = 22;
constexpr int kBarHeight = 14;
constexpr int kLabelWidth = 56;
constexpr int kNumbersWidth = 330;
constexpr int kLegendHeight = 22;

QString Bytes(uint32_t count) {
    return QLocale::c().toString(count);
}

} // namespace

StorageBarWidget::StorageBarWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picUsage"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QColor StorageBarWidget::InUseColour() {
    return {0x34, 0x65, 0xA4};
}

QColor StorageBarWidget::GivenBackColour() {
    return {0x73, 0xD2, 0x16};
}

QColor StorageBarWidget::NeverUsedColour() {
    return {0xD3, 0xD7, 0xCF};
}

void StorageBarWidget::SetUsage(Game game, std::vector<AreaUsage> usage) {
    m_game = game;
    m_usage = std::move(usage);
    setMinimumHeight(sizeHint().height());
    updateGeometry();
    update();
}

QSize StorageBarWidget::sizeHint() const {
    const int rows = static_cast<int>(m_usage.size());
    return {kLabelWidth + 200 + kNumbersWidth, rows * kRowHeight + (rows > 0 ? kLegendHeight : 0)};
}

void StorageBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int barWidth = std::max(40, width() - kLabelWidth - kNumbersWidth - 8);
    const QColor text = palette().color(QPalette::WindowText);
    for (size_t i = 0; i < m_usage.size(); ++i) {
        const AreaUsage& usage = m_usage[i];
        const int top = static_cast<int>(i) * kRowHeight;
        const QRect label(0, top, kLabelWidth, kRowHeight);
        painter.setPen(text);
        painter.drawText(label, Qt::AlignVCenter | Qt::AlignLeft,
                         QStringLiteral("Area %1").arg(usage.index));

        const QRect bar(kLabelWidth, top + (kRowHeight - kBarHeight) / 2, barWidth, kBarHeight);
        const double total = static_cast<double>(usage.inUse) + usage.givenBack + usage.neverUsed;
        int x = bar.left();
        const auto part = [&](uint32_t bytes, const QColor& colour, bool last) {
            const int w =
                last ? bar.right() + 1 - x
                     : static_cast<int>(total > 0 ? bar.width() * (bytes / total) + 0.5 : 0);
            painter.fillRect(QRect(x, bar.top(), std::max(0, w), bar.height()), colour);
            x += w;
        };
        part(usage.inUse, InUseColour(), false);
        part(usage.givenBack, GivenBackColour(), false);
        part(usage.neverUsed, NeverUsedColour(), true);
        painter.setPen(text);
        painter.drawRect(bar.adjusted(0, 0, -1, -1));

        const QRect numbers(bar.right() + 8, top, kNumbersWidth, kRowHeight);
        painter.drawText(
            numbers, Qt::AlignVCenter | Qt::AlignLeft,
            QStringLiteral("%1 in use, %2 given back, %3 never used")
                .arg(Bytes(usage.inUse), Bytes(usage.givenBack), Bytes(usage.neverUsed)));
    }
    if (m_usage.empty()) {
        return;
    }
    // The legend.
    int x = kLabelWidth;
    const int top = static_cast<int>(m_usage.size()) * kRowHeight + 4;
    const std::pair<QColor, QString> entries[] = {
        {InUseColour(), QStringLiteral("in use (bytes)")},
        {GivenBackColour(), QStringLiteral("given back, handed out again first")},
        {NeverUsedColour(), QStringLiteral("never used")},
    };
    for (const auto& [colour, caption] : entries) {
        painter.fillRect(QRect(x, top + 3, 12, 12), colour);
        painter.setPen(text);
        painter.drawRect(QRect(x, top + 3, 11, 11));
        const int w = painter.fontMetrics().horizontalAdvance(caption);
        painter.drawText(QRect(x + 16, top, w + 4, 18), Qt::AlignVCenter | Qt::AlignLeft, caption);
        x += 16 + w + 18;
    }
}

} // namespace quarnel

#pragma once
// A painted bar per free-space area of one game: the bytes in use, given back and never used,
// side by side in proportion to the area's length, with the numbers beside each bar and a
// legend below.

#include "rom/Game.h"
#include "storage/StorageMap.h"

#include <QWidget>

#include <vector>

namespace quarnel {

class StorageBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit StorageBarWidget(QWidget* parent = nullptr);

    // Shows `usage` of `game`'s areas; an empty list shows nothing.
    void SetUsage(Game game, std::vector<AreaUsage> usage);
    const std::vector<AreaUsage>& Usage() const { return m_usage; }

    QSize sizeHint() const override;

    // The colours of the three parts, for the legend and the bars.
    static QColor InUseColour();
    static QColor GivenBackColour();
    static QColor NeverUsedColour();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Game m_game = Game::None;
    std::vector<AreaUsage> m_usage;
};

} // namespace quarnel

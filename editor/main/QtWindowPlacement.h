#pragma once
// Where the windows go: the main window's geometry and each side window's position are kept
// in the settings between runs; a side window opens where it was last, or next to the main
// window, and always on a screen.

#include <QObject>
#include <QRect>

#include <memory>

class QMainWindow;
class QSettings;
class QWidget;

namespace quarnel {

// The position for a window of `size` next to `main` (right of it, else left of it, else
// over its right edge), moved inside `screen` as far as it fits.
QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screen);

class WindowPlacement : public QObject {
    Q_OBJECT

public:
    WindowPlacement(std::unique_ptr<QSettings> settings, QObject* parent);
    ~WindowPlacement() override;

    void RestoreMain(QMainWindow* window);
    void SaveMain(QMainWindow* window);
    // Before a side window's first show: the remembered position when it is on a screen, else
    // beside `main`. The window's position is remembered whenever it is hidden.
    void PlaceSideWindow(QWidget* window, const QWidget* main);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QSettings> m_settings;
};

// Places a side window beside `main` on its screen, without remembering anything.
void PlaceBesideMain(QWidget* window, const QWidget* main);

// Moves a shown window back inside the screen of `main` where it sticks out: a window that
// fills itself in when shown (the music viewer reads the room's song then) can grow past the
// edge it was placed against.
void KeepOnScreen(QWidget* window, const QWidget* main);

} // namespace quarnel

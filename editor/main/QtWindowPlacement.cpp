#include "main/QtWindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace quarnel {

namespace {

QString SideKey(const QWidget* window) {
    return QStringLiteral("windows/%1").arg(QString::fromLatin1(window->metaObject()->className()));
}

QRect AvailableAround(const QWidget* main) {
    const QScreen* screen = main != nullptr ? main->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
}

} // namespace

QPoint PlaceBeside(const QRect& main, const QSize& size, const QRect& screen) {
    QPoint at(main.right() + 1, main.top());
    if (at.x() + size.width() > screen.right() + 1) {
        at.setX(main.left() - size.width());
    }
    if (at.x() < screen.left()) {
        at.setX(main.right() + 1 - size.width());
    }
    at.setX(std::clamp(at.x(), screen.left(),
                       std::max(screen.left(), screen.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), screen.top(),
                       std::max(screen.top(), screen.bottom() + 1 - size.height())));
    return at;
}

void PlaceBesideMain(QWidget* window, const QWidget* main) {
    const QRect mainFrame = main != nullptr ? main->frameGeometry() : QRect();
    window->move(PlaceBeside(mainFrame, window->frameGeometry().size().expandedTo(window->size()),
                             AvailableAround(main)));
}

void KeepOnScreen(QWidget* window, const QWidget* main) {
    if (window->layout() != nullptr) {
        window->layout()->activate(); // the size it takes for what it shows now
    }
    const QRect screen = AvailableAround(main != nullptr ? main : window);
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    const QPoint at = window->pos();
    const QPoint inside(std::clamp(at.x(), screen.left(),
                                   std::max(screen.left(), screen.right() + 1 - size.width())),
                        std::clamp(at.y(), screen.top(),
                                   std::max(screen.top(), screen.bottom() + 1 - size.height())));
    if (inside != at) {
        window->move(inside);
    }
}

WindowPlacement::WindowPlacement(std::unique_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)) {}

WindowPlacement::~WindowPlacement() = default;

void WindowPlacement::RestoreMain(QMainWindow* window) {
    const QByteArray geometry = m_settings->value(QStringLiteral("windows/main")).toByteArray();
    if (geometry.isEmpty() || !window->restoreGeometry(geometry)) {
        // The first run: most of the screen, where the map has room.
        const QRect available = AvailableAround(window);
        window->resize(available.size() * 9 / 10);
        window->move(available.topLeft() + QPoint(available.width(), available.height()) / 20);
    }
    const QByteArray state = m_settings->value(QStringLiteral("windows/mainState")).toByteArray();
    if (!state.isEmpty()) {
        window->restoreState(state);
    }
}

void WindowPlacement::SaveMain(QMainWindow* window) {
    m_settings->setValue(QStringLiteral("windows/main"), window->saveGeometry());
    m_settings->setValue(QStringLiteral("windows/mainState"), window->saveState());
}

void WindowPlacement::PlaceSideWindow(QWidget* window, const QWidget* main) {
    window->installEventFilter(this);
    const QRect saved = m_settings->value(SideKey(window)).toRect();
    if (saved.isValid()) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().contains(saved.topLeft() + QPoint(40, 20))) {
                window->resize(saved.size());
                window->move(saved.topLeft());
                return;
            }
        }
    }
    PlaceBesideMain(window, main);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide) {
        if (auto* window = qobject_cast<QWidget*>(watched);
            window != nullptr && window->isWindow()) {
            m_settings->setValue(SideKey(window), QRect(window->pos(), window->size()));
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quarnel

#include "app/ScreenFollower.h"

#include "app/ScreenChoice.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

QList<QScreen*> screensWithout(QScreen* leaving)
{
    QList<QScreen*> screens = QGuiApplication::screens();
    screens.removeAll(leaving);
    return screens;
}

} // namespace

ScreenFollower::ScreenFollower(const QString& wanted, QObject* parent) : QObject(parent), m_wanted(wanted)
{
    auto* app = qGuiApp;
    connect(app, &QGuiApplication::screenAdded, this, [this] { follow(); });
    connect(app, &QGuiApplication::screenRemoved, this, [this](QScreen* screen) { follow(screen); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { follow(); });
    follow();
}

QScreen* ScreenFollower::otherScreen() const
{
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != m_screen)
            return screen;
    }
    return nullptr;
}

void ScreenFollower::follow(QScreen* leaving)
{
    const QList<QScreen*> screens = screensWithout(leaving);
    QStringList names;
    for (const QScreen* screen : screens)
        names << screen->name();
    const int chosen = ScreenChoice::pick(m_wanted, names, screens.indexOf(QGuiApplication::primaryScreen()));
    QScreen* screen = chosen >= 0 ? screens[chosen] : nullptr;
    if (screen != m_screen) {
        disconnect(m_watch);
        m_screen = screen;
        if (screen)
            m_watch = connect(screen, &QScreen::geometryChanged, this, [this] { follow(); });
    }
    const QRect geometry = m_screen ? m_screen->geometry() : QRect();
    if (geometry.isEmpty() || geometry == m_geometry)
        return;
    m_geometry = geometry;
    emit geometryChanged(geometry);
}

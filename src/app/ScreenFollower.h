#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QString>

// Keeps the show on its screen: chooses it at the start and again whenever a
// screen comes or goes, and says whenever the area it covers moves, changes
// size or goes to another screen (a projector plugged in, a mode switched).
class ScreenFollower : public QObject
{
    Q_OBJECT
public:
    // `wanted` as the event names the screen; see ScreenChoice.
    explicit ScreenFollower(const QString& wanted, QObject* parent = nullptr);

    QScreen* screen() const { return m_screen; }
    QRect geometry() const { return m_geometry; }
    // Another screen than the show's, where the operator's console goes; null on one screen.
    QScreen* otherScreen() const;

signals:
    void geometryChanged(const QRect& geometry);

private:
    void follow(QScreen* leaving = nullptr);

    QString m_wanted;
    QPointer<QScreen> m_screen;
    QMetaObject::Connection m_watch;
    QRect m_geometry;
};

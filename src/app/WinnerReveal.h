#pragma once

#include <QObject>
#include <QTimer>

// One winner at a time, for a prize that asks for it ([AwardReveal]): the
// stop has drawn and recorded every winner at once; the names area then
// shows them one after the other, each landing from the running names in
// at most LandingMs, and every view shows only those that have landed.
class WinnerReveal : public QObject
{
    Q_OBJECT
public:
    static constexpr int LandingMs = 1500;

    explicit WinnerReveal(QObject* parent = nullptr);

    // The `count` winners of that prize are drawn: the first begins to land.
    void begin(int prize, int count);
    // Nothing is being revealed: every prize shows all its winners.
    void clear();
    // The next winner begins to land; false when one is landing or none is left.
    bool next();
    // The landing in progress ends now.
    void settle();

    // Whether that prize still has winners to show.
    bool pending(int prize) const { return prize == m_prize && m_shown < m_count; }
    bool landing() const { return m_timer.isActive(); }
    // How many of that prize's `count` winners show now.
    int shown(int prize, int count) const { return prize == m_prize ? std::min(m_shown, count) : count; }
    // The one landing now, counted from 1; 0 when none is.
    int landingNumber() const { return landing() ? m_shown + 1 : 0; }

signals:
    // A winner began to land, or landed.
    void changed(int prize);

private:
    void landed();

    QTimer m_timer;
    int m_prize = -1;
    int m_count = 0;
    int m_shown = 0;
};

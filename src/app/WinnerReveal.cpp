#include "app/WinnerReveal.h"

WinnerReveal::WinnerReveal(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(LandingMs);
    connect(&m_timer, &QTimer::timeout, this, &WinnerReveal::landed);
}

void WinnerReveal::begin(int prize, int count)
{
    m_prize = prize;
    m_count = count;
    m_shown = 0;
    m_timer.stop();
    next();
}

void WinnerReveal::clear()
{
    m_timer.stop();
    m_prize = -1;
    m_count = 0;
    m_shown = 0;
}

bool WinnerReveal::next()
{
    if (landing() || m_shown >= m_count)
        return false;
    m_timer.start();
    emit changed(m_prize);
    return true;
}

void WinnerReveal::settle()
{
    if (!landing())
        return;
    m_timer.stop();
    landed();
}

void WinnerReveal::landed()
{
    ++m_shown;
    emit changed(m_prize);
}

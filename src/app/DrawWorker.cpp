#include "app/DrawWorker.h"

#include "platform/ThreadPriority.h"

#include <utility>

namespace {

bool s_inline = false;
std::function<void()> s_afterWork;

} // namespace

DrawWorker::DrawWorker(QObject* parent) : QObject(parent) {}

DrawWorker::~DrawWorker()
{
    if (m_thread.joinable())
        m_thread.join();
}

void DrawWorker::setInline(bool on)
{
    s_inline = on;
}

void DrawWorker::setAfterWork(std::function<void()> pause)
{
    s_afterWork = std::move(pause);
}

void DrawWorker::run(std::function<void()> work, std::function<void()> land)
{
    settle();
    m_busy = true;
    m_land = std::move(land);
    if (s_inline) {
        work();
        landNow();
        return;
    }
    m_worked = false;
    m_thread = std::thread([this, work = std::move(work), pause = s_afterWork] {
        ThreadPriority::runWhenIdle();
        work();
        if (pause)
            pause();
        m_worked = true;
        QMetaObject::invokeMethod(this, &DrawWorker::landNow, Qt::QueuedConnection);
    });
}

void DrawWorker::settle()
{
    if (m_thread.joinable())
        m_thread.join();
    landNow();
}

void DrawWorker::landNow()
{
    // A settle may have landed it before the queued call came.
    if (!m_land || (m_thread.joinable() && !m_worked))
        return;
    if (m_thread.joinable())
        m_thread.join();
    std::function<void()> land = std::exchange(m_land, {});
    m_busy = false;
    land();
}

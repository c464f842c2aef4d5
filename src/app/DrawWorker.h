#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

// Runs one piece of the draw's work at a time off the GUI thread, and then
// lands its result on the GUI thread, in that order. While it works, the GUI
// thread goes on painting and waits for it only where it must.
class DrawWorker : public QObject
{
    Q_OBJECT
public:
    explicit DrawWorker(QObject* parent = nullptr);
    // Waits for the work under way; it does not land: what it wrote stays on disk.
    ~DrawWorker() override;

    // `work` on a thread of its own, then `land` on this object's thread. A
    // piece already under way lands first.
    void run(std::function<void()> work, std::function<void()> land);
    // From `run` until its `land` begins.
    bool busy() const { return m_busy; }
    // Waits for the work under way and lands it now.
    void settle();

    // Tests that step the show one call at a time: the work runs at once,
    // on the caller's thread, and lands before `run` returns.
    static void setInline(bool on);
    // Tests: called on the worker's thread after the work, before it lands.
    static void setAfterWork(std::function<void()> pause);

private:
    void landNow();

    std::thread m_thread;
    std::function<void()> m_land;
    std::atomic<bool> m_worked{false};
    bool m_busy = false;
};

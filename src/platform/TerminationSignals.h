#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM (a logout or a shutdown), SIGHUP (its terminal gone) and SIGINT
// (Ctrl+C) reach the program as `received`, from its event loop, so the
// show can end as Enter ends it, with the results stored. The handler only
// writes the signal's number to a pipe, as a signal handler may.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    static constexpr int Handled[] = {15, 1, 2};

    explicit TerminationSignals(QObject* parent = nullptr);
    // The default handling comes back.
    ~TerminationSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

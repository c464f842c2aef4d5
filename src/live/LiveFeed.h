#pragma once

#include "live/LiveUpdate.h"
#include "live/PhoneNames.h"

#include <QJsonValue>
#include <QObject>
#include <QString>
#include <vector>

class DrawSession;

// The show as the phones see it: every prize in table order with its
// winners, kept as JSON a prize at a time, and each change as an update.
// It hears the session only after a stop's winners are on disk, so a phone
// never shows what was not stored.
class LiveFeed : public QObject
{
    Q_OBJECT
public:
    LiveFeed(DrawSession& session, PhoneNames names, QObject* parent = nullptr);

    // The results as they stand, as a "reset".
    LiveUpdate current() const;
    void setNames(PhoneNames names);
    const PhoneNames& names() const { return m_names; }

signals:
    void updated(const LiveUpdate& update);

private:
    void rebuild();
    void buildPrize(int index);
    QByteArray results();
    // A new version: the event's data and the whole results after it.
    void publish(const QByteArray& event, int prize = -1);
    void prizeChanged(const QByteArray& event, int index);
    // The commitment of the names cycling now, with the digits typed; null for none.
    QJsonValue witness() const;

    DrawSession& m_session;
    PhoneNames m_names;
    // Each prize's JSON: a stop builds its prize's only.
    std::vector<QByteArray> m_prizes;
    qint64 m_version;
    bool m_finished = false;
    // The check-in the phones were last told of: the way and whether it is open.
    QString m_checkin;
    bool m_checkinOpen = false;
    QByteArray m_results;
    QJsonValue m_witness;
};

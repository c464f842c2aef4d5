#pragma once

#include <QByteArray>
#include <QMetaType>

// One change of the results for the phones, made on the GUI thread and read
// as it stands by the server's: the event stream's event and the whole
// results after it.
struct LiveUpdate
{
    qint64 version = 0;
    // "prize", "replace", "reset", "witness" or "finished".
    QByteArray event;
    QByteArray data;
    QByteArray results;
};
Q_DECLARE_METATYPE(LiveUpdate)

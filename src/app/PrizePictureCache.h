#pragma once

#include "app/StretchedPicture.h"
#include "platform/EventFolder.h"

#include <QDateTime>
#include <QHash>
#include <string>
#include <utility>

// The prize pictures, decoded when first shown and again only when their
// file changes on disk (another time or size), so the operator can replace a
// picture during the event without decoding it on every paint.
class PrizePictureCache
{
public:
    explicit PrizePictureCache(EventFolder folder) : m_folder(std::move(folder)) {}

    // Stretched onto the target, or with `keepAspect` fitted into it, centred.
    void draw(QPainter& painter, const std::wstring& path, const Rect& target, bool keepAspect = false);

private:
    struct Entry
    {
        QString file;
        QDateTime modified;
        qint64 size = -1;
        StretchedPicture picture;
    };
    EventFolder m_folder;
    QHash<QString, Entry> m_entries;
};

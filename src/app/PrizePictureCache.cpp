#include "app/PrizePictureCache.h"

#include <QFileInfo>

void PrizePictureCache::draw(QPainter& painter, const std::wstring& path, const Rect& target, bool keepAspect)
{
    const QString file = m_folder.picture(path);
    if (file.isEmpty())
        return;
    const QFileInfo info(file);
    Entry& entry = m_entries[QString::fromStdWString(path)];
    if (entry.file != file || entry.modified != info.lastModified() || entry.size != info.size()) {
        entry.file = file;
        entry.modified = info.lastModified();
        entry.size = info.size();
        entry.picture.load(file);
    }
    entry.picture.draw(painter, keepAspect ? StretchedPicture::fitted(entry.picture.size(), target) : target);
}

#include "app/AudienceFrame.h"

#include "platform/Clock.h"

#include <QPainter>
#include <QWidget>

void AudienceFrame::paint(QWidget& target, const QRegion& region,
                          const std::function<void(QPainter&)>& compose, const Watcher& watcher)
{
    if (!watcher) {
        m_image = QImage();
        QPainter painter(&target);
        painter.setClipRegion(region);
        compose(painter);
        return;
    }
    // A new image holds nothing yet, so it is composed whole once.
    const bool whole = m_image.size() != target.size();
    if (whole)
        m_image = QImage(target.size(), QImage::Format_RGB32);
    {
        QPainter painter(&m_image);
        if (!whole)
            painter.setClipRegion(region);
        compose(painter);
    }
    QPainter painter(&target);
    for (const QRect& rect : region)
        painter.drawImage(rect.topLeft(), m_image, rect);
    const long long now = Clock::monotonicMs();
    if (m_handedAt < 0 || now - m_handedAt >= WatchPeriodMs || now < m_handedAt) {
        m_handedAt = now;
        watcher(m_image);
    }
}

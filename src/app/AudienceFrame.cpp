#include "app/AudienceFrame.h"

#include "platform/Clock.h"

#include <QPainter>
#include <QWidget>

void AudienceFrame::paint(QWidget& target, const std::function<void(QPainter&)>& compose,
                          const Watcher& watcher)
{
    if (!watcher) {
        m_image = QImage();
        QPainter painter(&target);
        compose(painter);
        return;
    }
    if (m_image.size() != target.size())
        m_image = QImage(target.size(), QImage::Format_RGB32);
    {
        QPainter painter(&m_image);
        compose(painter);
    }
    QPainter(&target).drawImage(0, 0, m_image);
    const long long now = Clock::monotonicMs();
    if (m_handedAt < 0 || now - m_handedAt >= WatchPeriodMs || now < m_handedAt) {
        m_handedAt = now;
        watcher(m_image);
    }
}

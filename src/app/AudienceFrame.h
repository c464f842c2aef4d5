#pragma once

#include <QImage>
#include <QRegion>
#include <functional>

class QPainter;
class QWidget;

// Paints an audience window's frame, and while somebody watches (the
// operator's console) paints it into an image first and hands that on at
// most five times a second, so the preview costs no paint of its own. Only
// the region asked for is composed: the image keeps the rest of the frame.
class AudienceFrame
{
public:
    using Watcher = std::function<void(const QImage&)>;
    static constexpr int WatchPeriodMs = 200;

    // `watcher` may be empty: then the frame goes straight to the window.
    void paint(QWidget& target, const QRegion& region, const std::function<void(QPainter&)>& compose,
               const Watcher& watcher);

private:
    QImage m_image;
    long long m_handedAt = -1;
};

#include "app/DrawScreenPainter.h"

#include "app/CaptionText.h"
#include "app/DrawEngine.h"
#include "app/WitnessPlate.h"
#include "areas/AreaFont.h"

#include <QFontMetrics>
#include <QPainter>
#include <climits>
#include <utility>

namespace {

void drawInArea(QPainter& painter, const CLottoryArea& area, const Rect& rect, const QString& text,
                Qt::Alignment alignment = Qt::AlignCenter, int height = 0)
{
    AreaFont::drawText(&painter, rect, area.m_fontName, height > 0 ? height : area.m_fontSize,
                       area.m_fontColor, text, alignment);
}

} // namespace

DrawScreenPainter::DrawScreenPainter(const EventFolder& folder) : m_folder(folder), m_prizePictures(folder) {}

void DrawScreenPainter::loadPictures()
{
    m_showImage.load(m_folder.file(ShowPicture));
    m_startImage.load(m_folder.file(StartPicture));
    m_stopImage.load(m_folder.file(StopPicture));
}

void DrawScreenPainter::paint(QPainter& painter, const DrawScreenFrame& frame)
{
    const DrawEngine& engine = *frame.engine;
    const AreaSet& areas = *frame.areas;
    painter.fillRect(frame.screen.toQRect(), Qt::black);
    m_showImage.draw(painter, frame.screen);
    m_startImage.draw(painter, frame.start);
    m_stopImage.draw(painter, frame.stop);

    if (engine.isCurrentPrize() && !engine.running()) {
        const std::vector<tstring>& winners = engine.award(engine.current()).winners;
        if (frame.wall && frame.wall->mode() == WinnerWall::Mode::Grid) {
            drawWinners(painter, *areas[AreaScroll], *frame.wall, frame.page, engine);
        } else {
            // One at a time: the winners landed so far, and the one landing among the running names.
            std::vector<QString> rows(winners.size());
            const size_t shown = frame.shownWinners < 0 ? winners.size() : size_t(frame.shownWinners);
            for (size_t i = 0; i < winners.size() && i < shown; ++i)
                rows[i] = QString::fromStdWString(winners[i]);
            if (shown < rows.size())
                rows[shown] = frame.landingName;
            drawRows(painter, *areas[AreaScroll], rows, frame.wall ? frame.wall->fontHeight() : 0);
        }
    }
    drawCurrentPrize(painter, frame);
    drawInArea(painter, *areas[AreaStatus], areas[AreaStatus]->m_rect,
               frame.revealNumber > 0
                   ? QStringLiteral("第 %1/%2 名").arg(frame.revealNumber).arg(frame.revealCount)
                   : BuildCountLine(engine));
    drawCaption(painter, frame);
    for (int i = 0; i < AreaCount; ++i) {
        if (i != frame.selectedArea)
            areas[static_cast<size_t>(i)]->Draw(&painter);
    }
    if (frame.selectedArea >= 0 && frame.selectedArea < AreaCount)
        areas[static_cast<size_t>(frame.selectedArea)]->Draw(&painter);
    drawCyclingNames(painter, frame);
    drawFingerprint(painter, frame.screen, frame.fingerprint);
    if (frame.witness)
        WitnessPlate::paint(painter, frame.screen, *frame.witness, frame.witnessRefusal);
}

void DrawScreenPainter::drawFingerprint(QPainter& painter, const Rect& screen, const QString& fingerprint)
{
    if (fingerprint.isEmpty())
        return;
    QFont font = painter.font();
    font.setPixelSize(std::max(10, screen.height() / 60));
    const QString text = QStringLiteral("记录 ") + fingerprint;
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2;
    QRect box(0, 0, metrics.horizontalAdvance(text) + 2 * margin, metrics.height() + margin);
    box.moveBottomRight(QPoint(screen.right - margin, screen.bottom - margin));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(box, margin / 2.0, margin / 2.0);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

void DrawScreenPainter::drawMark(QPainter& painter, const Rect& screen, const QString& mark)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(12, screen.height() / 40));
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2;
    const QRect box(screen.left + margin, screen.top + margin, metrics.horizontalAdvance(mark) + 2 * margin,
                    metrics.height() + margin);
    painter.save();
    painter.fillRect(box, QColor(200, 0, 0, 200));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, mark);
    painter.restore();
}

int DrawScreenPainter::rowAt(const Rect& area, std::size_t rows, int x, int y)
{
    const Rect box = area.normalized();
    if (rows == 0 || !box.contains(x, y))
        return -1;
    const int rowHeight = box.height() / static_cast<int>(std::min<size_t>(rows, INT_MAX));
    if (rowHeight < 1)
        return -1;
    const long long row = (static_cast<long long>(y) - box.top) / rowHeight;
    return row < static_cast<long long>(rows) ? static_cast<int>(row) : -1;
}

void DrawScreenPainter::drawRows(QPainter& painter, const CLottoryArea& area,
                                 const std::vector<QString>& rows, int height)
{
    const Rect box = area.m_rect.normalized();
    if (rows.empty())
        return;
    const int rowHeight = box.height() / static_cast<int>(std::min<size_t>(rows.size(), INT_MAX));
    // Rows thinner than a pixel would only pile names on one line.
    if (rowHeight < 1)
        return;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int top = box.top + static_cast<int>(i) * rowHeight;
        drawInArea(painter, area, Rect(box.left, top, box.right, top + rowHeight), rows[i], Qt::AlignCenter,
                   height);
    }
}

void DrawScreenPainter::drawWinners(QPainter& painter, const CLottoryArea& area, const WinnerWall& wall,
                                    int page, const DrawEngine& engine)
{
    const std::vector<tstring>& winners = engine.award(engine.current()).winners;
    // Drawn once a page and kept: tens of cells of text cost more than a frame leaves.
    const QColor color = AreaFont::toQColor(area.m_fontColor);
    const Rect box = area.m_rect.normalized();
    if (m_wallPage.wall != wall.id() || m_wallPage.page != page || m_wallPage.color != color.rgba() ||
        m_wallPage.area != box || m_wallPage.draw != engine.revision()) {
        const QImage* ahead = page == 0 ? wall.firstPage(color) : nullptr;
        m_wallPage = WallPage{wall.id(),
                              page,
                              color.rgba(),
                              box,
                              engine.revision(),
                              ahead ? *ahead : wall.drawn(box, page, color, [&](int i) {
                                  return QString::fromStdWString(winners[size_t(i)]);
                              })};
    }
    painter.drawImage(QPoint(box.left, box.top), m_wallPage.image);
}

void DrawScreenPainter::drawCurrentPrize(QPainter& painter, const DrawScreenFrame& frame)
{
    const DrawEngine& engine = *frame.engine;
    const int shown = engine.current() < 0 ? 0 : engine.current();
    if (shown >= engine.prizeCount())
        return;
    const AwardItem& award = engine.award(shown);
    const AreaSet& areas = *frame.areas;
    drawInArea(painter, *areas[AreaType], areas[AreaType]->m_rect, QString::fromStdWString(award.awardName));
    drawInArea(painter, *areas[AreaText], areas[AreaText]->m_rect, QString::fromStdWString(award.prizeName));
    m_prizePictures.draw(painter, award.picturePath, areas[AreaPic]->m_rect, frame.keepPictureAspect);
}

void DrawScreenPainter::drawCaption(QPainter& painter, const DrawScreenFrame& frame)
{
    const CLottoryArea& area = *(*frame.areas)[AreaResultLine];
    const QFont font = AreaFont::font(area.m_fontName, area.m_fontSize);
    m_captionLayout.update(*frame.engine, area.m_titleName, font, frame.shownWinners);
    if (std::exchange(m_captionEnters, false))
        m_caption.enterAt(area.m_rect.normalized(), m_captionLayout.width(),
                          m_captionLayout.lastPrizeOffset());
    const Rect rect = m_caption.advance(area.m_rect.normalized(), m_captionLayout.width());
    if (rect.isEmpty() || m_captionLayout.text().isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect.toQRect(), Qt::IntersectClip);
    painter.setPen(AreaFont::toQColor(area.m_fontColor));
    const int top = rect.top + (rect.height() - QFontMetrics(font).height()) / 2;
    m_captionLayout.draw(painter, rect.left, top, std::max(rect.left, frame.screen.left),
                         std::min(rect.right, frame.screen.right));
    painter.restore();
}

void DrawScreenPainter::drawCyclingNames(QPainter& painter, const DrawScreenFrame& frame)
{
    const DrawEngine& engine = *frame.engine;
    if (!engine.running() || !engine.isCurrentPrize() || frame.cycleStart < 0 || engine.pool().empty())
        return;
    const int count = engine.award(engine.current()).winnerCount;
    const CLottoryArea& area = *(*frame.areas)[AreaScroll];
    const size_t poolSize = engine.pool().size();
    // Where the winners will land: the first page of their grid, each cell another name.
    if (frame.wall && frame.wall->mode() == WinnerWall::Mode::Grid) {
        // Kept inside the area, which is all a frame of cycling names repaints.
        painter.save();
        painter.setClipRect(area.m_rect.normalized().toQRect(), Qt::IntersectClip);
        frame.wall->draw(
            painter, area.m_rect, 0, AreaFont::toQColor(area.m_fontColor),
            [&](int i) { return engine.pool().text((size_t(i) + size_t(frame.cycleStart)) % poolSize); },
            false);
        painter.restore();
        return;
    }
    if (count <= 0 || count > area.m_rect.normalized().height())
        return;
    std::vector<QString> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const size_t position = (static_cast<size_t>(i) + static_cast<size_t>(frame.cycleStart)) % poolSize;
        rows.push_back(engine.pool().text(position));
    }
    drawRows(painter, area, rows, frame.wall ? frame.wall->fontHeight() : 0);
}

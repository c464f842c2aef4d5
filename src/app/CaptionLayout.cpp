#include "app/CaptionLayout.h"

#include "app/CaptionText.h"
#include "app/DrawEngine.h"
#include "areas/AreaFont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Pieces end after a space once this long, or anywhere once twice as long.
constexpr int PieceLength = 64;

} // namespace

void CaptionLayout::update(const DrawEngine& engine, const QString& ownText, const QFont& font,
                           int shownOfCurrent)
{
    // Every frame asks; comparing tens of thousands of winners each time would cost a millisecond.
    if (m_laidOut && engine.revision() == m_revision && font == m_font && ownText == m_ownText)
        return;
    m_revision = engine.revision();
    const bool fontChanged = !m_laidOut || font != m_font;
    long long places = 0;
    const bool partsChanged = keepParts(engine, places, shownOfCurrent);
    if (!fontChanged && !partsChanged && ownText == m_ownText)
        return;
    m_laidOut = true;
    m_font = font;
    m_ownText = ownText;
    QString shown;
    if (engine.prizeCount() == 0 || places == 0) {
        m_text = ownText;
        shown = AreaFont::withoutMnemonics(ownText);
        m_lastPart = 0;
    } else {
        // Every part ends with spaces, so no "&" reaches into the next one.
        m_text = CaptionGreeting();
        shown = m_text;
        for (const Part& part : m_parts) {
            m_lastPart = shown.size();
            m_text += part.text;
            shown += part.shown;
        }
    }
    layOut(shown, fontChanged);
}

int CaptionLayout::lastPrizeOffset() const
{
    qsizetype start = 0;
    for (const Piece& piece : m_pieces) {
        if (m_lastPart < start + piece.text.size())
            return static_cast<int>(
                piece.left + QFontMetricsF(m_font).horizontalAdvance(piece.text.left(m_lastPart - start)));
        start += piece.text.size();
    }
    return m_width;
}

bool CaptionLayout::keepParts(const DrawEngine& engine, long long& places, int shownOfCurrent)
{
    bool changed = false;
    std::size_t kept = 0;
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        AwardItem award = engine.award(i);
        // A prize shown one at a time names only those who have landed.
        if (i == engine.current() && shownOfCurrent >= 0 && size_t(shownOfCurrent) < award.winners.size())
            award.winners.resize(size_t(shownOfCurrent));
        places += award.winnerCount;
        if (kept < m_parts.size()) {
            const Part& part = m_parts[kept];
            if (part.winnerCount == award.winnerCount && part.awardName == award.awardName &&
                part.winners == award.winners) {
                ++kept;
                continue;
            }
        }
        Part part{award.awardName, award.winnerCount, award.winners, BuildCaptionPart(award), {}};
        part.shown = AreaFont::withoutMnemonics(part.text);
        if (kept < m_parts.size())
            m_parts[kept] = std::move(part);
        else
            m_parts.push_back(std::move(part));
        ++kept;
        changed = true;
    }
    if (kept < m_parts.size()) {
        m_parts.resize(kept);
        changed = true;
    }
    return changed;
}

void CaptionLayout::layOut(const QString& shown, bool fontChanged)
{
    // A stop appends its prize to the line and a replacement changes the last
    // one: the pieces before the change keep their place and their measure.
    qsizetype same = 0;
    if (!fontChanged) {
        const qsizetype common = std::min(shown.size(), m_shown.size());
        while (same < common && shown[same] == m_shown[same])
            ++same;
    }
    std::size_t kept = 0;
    qsizetype start = 0;
    while (kept < m_measured && start + m_pieces[kept].text.size() < same)
        start += m_pieces[kept++].text.size();
    m_pieces.resize(kept);
    m_measured = kept;
    m_measuredLength = start;
    m_shown = shown;
    while (start < shown.size()) {
        qsizetype end = std::min(shown.size(), start + PieceLength);
        while (end < shown.size() && end - start < 2 * PieceLength && shown[end - 1] != QLatin1Char(' '))
            ++end;
        // Never between the halves of a character outside the basic plane.
        if (end < shown.size() && shown[end].isLowSurrogate())
            ++end;
        Piece piece;
        piece.text = shown.mid(start, end - start);
        m_pieces.push_back(std::move(piece));
        start = end;
    }
    // The last prize's part, where the caption enters after a stop, is measured at once.
    qsizetype upTo = 0;
    std::size_t last = 0;
    while (last < m_pieces.size() && upTo + m_pieces[last].text.size() <= m_lastPart)
        upTo += m_pieces[last++].text.size();
    measureTo(-1, last + 1 > m_measured ? last + 1 - m_measured : 0);
}

qreal CaptionLayout::measuredRight() const
{
    return m_measured == 0 ? 0 : m_pieces[m_measured - 1].left + m_pieces[m_measured - 1].width;
}

void CaptionLayout::measureTo(qreal x, std::size_t more)
{
    const QFontMetricsF metrics(m_font);
    qreal right = measuredRight();
    while (m_measured < m_pieces.size() && (right <= x || more > 0)) {
        if (right > x)
            --more;
        Piece& piece = m_pieces[m_measured++];
        piece.left = right;
        piece.width = metrics.horizontalAdvance(piece.text);
        right += piece.width;
        m_measuredLength += piece.text.size();
    }
    // The rest as wide a character as what is measured so far.
    const qsizetype rest = m_shown.size() - m_measuredLength;
    const qreal estimate = rest > 0 && m_measuredLength > 0
                               ? right + qreal(rest) * right / qreal(m_measuredLength)
                               : right + qreal(rest) * metrics.averageCharWidth();
    m_width = static_cast<int>(std::min<qreal>(std::ceil(estimate), INT_MAX / 2));
}

void CaptionLayout::draw(QPainter& painter, int left, int top, int clipLeft, int clipRight)
{
    measureTo(static_cast<qreal>(clipRight) - left, PiecesAFrame);
    const qreal from = static_cast<qreal>(clipLeft) - left;
    const auto measured = m_pieces.begin() + static_cast<std::ptrdiff_t>(m_measured);
    auto piece = std::upper_bound(m_pieces.begin(), measured, from,
                                  [](qreal x, const Piece& p) { return x < p.left + p.width; });
    painter.setFont(m_font);
    for (; piece != measured && left + piece->left < clipRight; ++piece) {
        if (!piece->prepared) {
            piece->layout = QStaticText(piece->text);
            piece->layout.setTextFormat(Qt::PlainText);
            piece->layout.prepare(QTransform(), m_font);
            piece->prepared = true;
        }
        painter.drawStaticText(QPointF(left + piece->left, top), piece->layout);
    }
}

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

void CaptionLayout::update(const DrawEngine& engine, const QString& ownText, const QFont& font)
{
    const bool fontChanged = !m_laidOut || font != m_font;
    if (!fontChanged && sameSource(engine, ownText))
        return;
    m_laidOut = true;
    m_font = font;
    keepSource(engine, ownText);
    m_text = BuildCaptionText(engine, ownText);
    layOut(AreaFont::withoutMnemonics(m_text), fontChanged);
}

bool CaptionLayout::sameSource(const DrawEngine& engine, const QString& ownText) const
{
    if (ownText != m_ownText)
        return false;
    size_t kept = 0;
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        const AwardItem& award = engine.award(i);
        if (kept == m_source.size())
            return false;
        const Source& source = m_source[kept++];
        if (source.winnerCount != award.winnerCount || source.awardName != award.awardName ||
            source.winners != award.winners)
            return false;
    }
    return kept == m_source.size();
}

void CaptionLayout::keepSource(const DrawEngine& engine, const QString& ownText)
{
    m_ownText = ownText;
    m_source.clear();
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (engine.isFinishedForDisplay(i)) {
            const AwardItem& award = engine.award(i);
            m_source.push_back({award.awardName, award.winnerCount, award.winners});
        }
    }
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
    while (kept < m_pieces.size() && start + m_pieces[kept].text.size() < same)
        start += m_pieces[kept++].text.size();
    m_pieces.resize(kept);
    m_shown = shown;

    const QFontMetricsF metrics(m_font);
    qreal left = m_pieces.empty() ? 0 : m_pieces.back().left + m_pieces.back().width;
    while (start < shown.size()) {
        qsizetype end = std::min(shown.size(), start + PieceLength);
        while (end < shown.size() && end - start < 2 * PieceLength && shown[end - 1] != QLatin1Char(' '))
            ++end;
        // Never between the halves of a character outside the basic plane.
        if (end < shown.size() && shown[end].isLowSurrogate())
            ++end;
        Piece piece;
        piece.text = shown.mid(start, end - start);
        piece.left = left;
        piece.width = metrics.horizontalAdvance(piece.text);
        left += piece.width;
        m_pieces.push_back(std::move(piece));
        start = end;
    }
    m_width = static_cast<int>(std::min<qreal>(std::ceil(left), INT_MAX / 2));
}

void CaptionLayout::draw(QPainter& painter, int left, int top, int clipLeft, int clipRight)
{
    const qreal from = static_cast<qreal>(clipLeft) - left;
    auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), from,
                                  [](qreal x, const Piece& p) { return x < p.left + p.width; });
    painter.setFont(m_font);
    for (; piece != m_pieces.end() && left + piece->left < clipRight; ++piece) {
        if (!piece->prepared) {
            piece->layout = QStaticText(piece->text);
            piece->layout.setTextFormat(Qt::PlainText);
            piece->layout.prepare(QTransform(), m_font);
            piece->prepared = true;
        }
        painter.drawStaticText(QPointF(left + piece->left, top), piece->layout);
    }
}

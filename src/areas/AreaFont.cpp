#include "areas/AreaFont.h"

#include <QColor>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

namespace {

// Windows keeps 32 characters for a face name, the terminating zero included.
constexpr int FaceNameChars = 31;
constexpr int LargestPixelSize = 4000;

int cellHeight(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    return QFontMetrics(font).height();
}

QFont makeFont(const QString& faceName, int height)
{
    QFont font;
    if (!faceName.isEmpty())
        font.setFamily(faceName.left(FaceNameChars));
    if (height < 0) {
        font.setPixelSize(
            static_cast<int>(std::min(-static_cast<long long>(height), 0LL + LargestPixelSize)));
    } else if (height > 0) {
        // The largest pixel size whose cell still fits the height.
        int low = 1;
        int high = std::min(height, LargestPixelSize);
        while (low < high) {
            const int middle = (low + high + 1) / 2;
            if (cellHeight(font, middle) <= height)
                low = middle;
            else
                high = middle - 1;
        }
        font.setPixelSize(low);
    }
    return font;
}

} // namespace

QFont AreaFont::font(const QString& faceName, int height)
{
    static QHash<QPair<QString, int>, QFont> cache;
    const QPair<QString, int> key(faceName, height);
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return *found;
    return *cache.insert(key, makeFont(faceName, height));
}

QColor AreaFont::toQColor(COLORREF color)
{
    return QColor(redOf(color), greenOf(color), blueOf(color));
}

void AreaFont::drawText(QPainter* painter, const Rect& rect, const QString& faceName, int height,
                        COLORREF color, const QString& text, Qt::Alignment alignment)
{
    const Rect box = rect.normalized();
    if (text.isEmpty() || box.isEmpty())
        return;
    // A frame composed in part skips the text it would not show.
    if (painter->hasClipping() && !painter->clipBoundingRect().intersects(box.toQRect()))
        return;
    painter->save();
    painter->setFont(font(faceName, height));
    painter->setPen(toQColor(color));
    painter->setClipRect(box.toQRect(), Qt::IntersectClip);
    painter->drawText(box.toQRect(), static_cast<int>(alignment) | Qt::TextSingleLine | Qt::TextShowMnemonic,
                      text);
    painter->restore();
}

QString AreaFont::withoutMnemonics(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            shown += text[i];
        else if (++i < text.size())
            shown += text[i];
    }
    return shown;
}

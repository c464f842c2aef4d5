#include "app/WinnerWall.h"

#include "areas/AreaFont.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <climits>

namespace {

// Space between two names of a row, in cell heights.
constexpr double Gap = 0.5;
// The widest names are measured again at the size chosen; estimates at
// other sizes scale the widths measured once.
constexpr size_t Remeasured = 8;

struct Fit
{
    int columns = 1;
    int rows = 1;
    int cellWidth = 0;
};

Fit fitAt(int cellHeight, double widest, const Rect& box)
{
    Fit fit;
    fit.cellWidth = static_cast<int>(widest + Gap * cellHeight) + 1;
    fit.columns = std::max(1, box.width() / std::max(1, fit.cellWidth));
    fit.rows = std::max(1, box.height() / std::max(1, cellHeight));
    return fit;
}

} // namespace

int WinnerWall::grownHeight(const Rect& area, const QString& faceName, int height, int largestCell, int rows,
                            const std::vector<QString>& names)
{
    const Rect box = area.normalized();
    if (largestCell <= 0 || rows <= 0 || height <= 0)
        return height;
    const int cellLimit = std::min(largestCell, box.height() / rows);
    const auto fits = [&](int candidate) {
        const QFontMetrics metrics(AreaFont::font(faceName, candidate));
        if (metrics.height() > cellLimit)
            return false;
        return std::all_of(names.begin(), names.end(), [&](const QString& name) {
            return metrics.horizontalAdvance(AreaFont::withoutMnemonics(name)) <= box.width();
        });
    };
    // A Windows height is about a cell; the search starts where growing counts.
    int low = height + (height + 1) / 2;
    if (!fits(low))
        return height;
    int high = std::max(low, cellLimit * 2);
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

WinnerWall WinnerWall::layOut(const Rect& area, const QString& faceName, int height, int minimumCell,
                              const std::vector<QString>& names, std::size_t cells, int largestCell)
{
    static std::atomic<std::uint64_t> layouts{0};
    WinnerWall wall;
    wall.m_id = ++layouts;
    Rect box = area.normalized();
    wall.m_area = box;
    wall.m_count = static_cast<int>(std::min<size_t>(cells, INT_MAX));
    const QFont areaFont = AreaFont::font(faceName, height);
    const QFontMetrics areaMetrics(areaFont);
    std::vector<int> widths;
    widths.reserve(names.size());
    for (const QString& name : names)
        widths.push_back(areaMetrics.horizontalAdvance(AreaFont::withoutMnemonics(name)));
    const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
    const int areaCell = areaMetrics.height();
    wall.m_fontHeight = height;
    wall.m_font = areaFont;
    wall.m_perPage = wall.m_count;
    if (wall.m_count == 0 ||
        (box.height() / wall.m_count >= areaCell && widest <= box.width() && box.height() >= areaCell)) {
        wall.m_mode = Mode::OneColumn;
        wall.m_rows = wall.m_count;
        // A few winners fill the area in a font the hall can read from the back.
        wall.m_fontHeight = grownHeight(box, faceName, height, largestCell, wall.m_count, names);
        if (wall.m_fontHeight != height)
            wall.m_font = AreaFont::font(faceName, wall.m_fontHeight);
        return wall;
    }

    // The largest cell height at which every name fits on one page.
    wall.m_mode = Mode::Grid;
    const int floor = std::max(1, std::min({minimumCell, areaCell, std::max(1, box.height())}));
    const int ceiling = std::max(floor, std::min(areaCell, std::max(1, box.height())));
    const double pixels = std::max(1, areaFont.pixelSize());
    int low = floor;
    int high = ceiling;
    const auto fits = [&](int cell) {
        const QFont font = AreaFont::font(faceName, cell);
        const double wide = widest * std::max(1, font.pixelSize()) / pixels;
        const Fit fit = fitAt(cell, wide, box);
        return wide <= box.width() && static_cast<long long>(fit.columns) * fit.rows >= wall.m_count;
    };
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    // The estimate is checked on the widest names at the size chosen.
    std::vector<size_t> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const size_t checked = std::min(Remeasured, order.size());
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(checked), order.end(),
                      [&](size_t a, size_t b) { return widths[a] > widths[b]; });
    for (;;) {
        const QFont font = AreaFont::font(faceName, low);
        const QFontMetrics metrics(font);
        int measured = 0;
        for (size_t i = 0; i < checked; ++i)
            measured =
                std::max(measured, metrics.horizontalAdvance(AreaFont::withoutMnemonics(names[order[i]])));
        Fit fit = fitAt(metrics.height(), std::min(measured, box.width()), box);
        long long capacity = static_cast<long long>(fit.columns) * fit.rows;
        if (capacity < wall.m_count && low == floor) {
            // Pages: a strip at the bottom keeps the page number clear of the names.
            box.bottom = std::max(box.top + metrics.height(), box.bottom - pageStripHeight(minimumCell));
            wall.m_area = box;
            fit = fitAt(metrics.height(), std::min(measured, box.width()), box);
            capacity = static_cast<long long>(fit.columns) * fit.rows;
        }
        if ((capacity >= wall.m_count && measured <= box.width()) || low == floor) {
            wall.m_fontHeight = low;
            wall.m_font = font;
            wall.m_columns = fit.columns;
            wall.m_rows = fit.rows;
            wall.m_cellHeight = metrics.height();

            wall.m_perPage = static_cast<int>(std::min<long long>(capacity, wall.m_count));
            wall.m_pages = (wall.m_count + wall.m_perPage - 1) / wall.m_perPage;
            // Rows share the area's height; one page shows only the rows it needs.
            const int rowsShown =
                wall.m_pages == 1 ? (wall.m_count + fit.columns - 1) / fit.columns : fit.rows;
            wall.m_rows = rowsShown;
            wall.m_cellWidth = box.width() / fit.columns;
            wall.m_cellHeight = box.height() / std::max(1, rowsShown);
            wall.m_elide = measured + Gap * metrics.height() / 2 > wall.m_cellWidth;
            return wall;
        }
        --low;
    }
}

int WinnerWall::countOn(int page) const
{
    if (page < 0 || page >= m_pages)
        return 0;
    return std::min(m_perPage, m_count - page * m_perPage);
}

Rect WinnerWall::cell(int index) const
{
    if (m_mode == Mode::OneColumn) {
        const int rowHeight = m_count > 0 ? m_area.height() / m_count : 0;
        const int top = m_area.top + index * rowHeight;
        return Rect(m_area.left, top, m_area.right, top + rowHeight);
    }
    const int onPage = index - firstOn(pageOf(index));
    const int row = onPage / m_columns;
    const int column = onPage % m_columns;
    const int left = m_area.left + column * m_cellWidth;
    const int top = m_area.top + row * m_cellHeight;
    return Rect(left, top, left + m_cellWidth, top + m_cellHeight);
}

int WinnerWall::indexAt(int page, int x, int y) const
{
    if (!m_area.contains(x, y) || m_count == 0)
        return -1;
    if (m_mode == Mode::OneColumn) {
        const int rowHeight = m_area.height() / m_count;
        if (rowHeight < 1)
            return -1;
        const int row = (y - m_area.top) / rowHeight;
        return row < m_count ? row : -1;
    }
    const int column = (x - m_area.left) / std::max(1, m_cellWidth);
    const int row = (y - m_area.top) / std::max(1, m_cellHeight);
    if (column >= m_columns)
        return -1;
    const int onPage = row * m_columns + column;
    return onPage < countOn(page) ? firstOn(page) + onPage : -1;
}

QString WinnerWall::fitted(const QString& name) const
{
    if (!m_elide)
        return name;
    const QFontMetrics metrics(m_font);
    const int room = m_cellWidth - static_cast<int>(Gap * metrics.height() / 2);
    const QString shown = AreaFont::withoutMnemonics(name);
    if (metrics.horizontalAdvance(shown) <= room)
        return name;
    // Elided text is drawn as it stands: no mnemonic may vanish from it.
    QString elided = metrics.elidedText(shown, Qt::ElideRight, room);
    return elided.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void WinnerWall::draw(QPainter& painter, const Rect& area, int page, const QColor& color,
                      const std::function<QString(int)>& name, bool numbered) const
{
    painter.save();
    painter.setFont(m_font);
    painter.setPen(color);
    const int first = firstOn(page);
    for (int i = first; i < first + countOn(page); ++i)
        painter.drawText(cell(i).toQRect(), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                         fitted(name(i)));
    if (numbered && m_pages > 1) {
        QFont small = m_font;
        const Rect box = area.normalized();
        const int strip = box.bottom - m_area.bottom;
        small.setPixelSize(std::max(8, strip * 3 / 4));
        painter.setFont(small);
        painter.drawText(QRect(box.left, m_area.bottom, box.width(), strip),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1/%2").arg(page + 1).arg(m_pages));
    }
    painter.restore();
}

QImage WinnerWall::drawn(const Rect& area, int page, const QColor& color,
                         const std::function<QString(int)>& name) const
{
    const Rect box = area.normalized();
    QImage image(std::max(1, box.width()), std::max(1, box.height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-box.left, -box.top);
    draw(painter, area, page, color, name, true);
    return image;
}

void WinnerWall::setFirstPage(QImage page, const QColor& color)
{
    m_firstPage = std::make_shared<const QImage>(std::move(page));
    m_firstPageColor = color.rgba();
}

const QImage* WinnerWall::firstPage(const QColor& color) const
{
    return m_firstPage && m_firstPageColor == color.rgba() ? m_firstPage.get() : nullptr;
}

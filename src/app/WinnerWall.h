#pragma once

#include "platform/Rect.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Where a prize's winners stand in the names area. When one column of rows
// at the area's own font holds them all (every row at least one cell high,
// the widest name as wide as the area at most) it is that column, as the
// screen has always drawn it. Otherwise a grid of cells, row by row in draw
// order, at the area's font shrunk only as far as needed and never below the
// legible minimum; what does not fit at the minimum goes on further pages.
class QPainter;

class WinnerWall
{
public:
    enum class Mode
    {
        OneColumn,
        Grid
    };

    // The least cell height on a screen: 1/36 of its height (30 px at 1080 lines).
    static int minimumCellHeight(int screenHeight) { return std::max(1, screenHeight / 36); }
    // The strip under paged names that holds "1/5".
    static int pageStripHeight(int minimumCell) { return std::max(10, minimumCell); }

    // The largest cell a one column's grown font may reach: 1/6 of the screen's height.
    static int largestCellHeight(int screenHeight) { return std::max(1, screenHeight / 6); }

    // `height` is the area's font height as the event file gives it. A one
    // column whose names the largest font that fits (a cell of `largestCell`
    // at most; 0 grows nothing) shows at 1.5 times that height or more is
    // drawn at that font.
    static WinnerWall layOut(const Rect& area, const QString& faceName, int height, int minimumCell,
                             const std::vector<QString>& names, int largestCell = 0)
    {
        return layOut(area, faceName, height, minimumCell, names, names.size(), largestCell);
    }
    // The same for `cells` names of which only a sample is given to measure.
    static WinnerWall layOut(const Rect& area, const QString& faceName, int height, int minimumCell,
                             const std::vector<QString>& sample, std::size_t cells, int largestCell = 0);
    // The font height a one column of `rows` rows is drawn at: the largest
    // whose cell and widest name fit a row, when 1.5 times `height` or more; else `height`.
    static int grownHeight(const Rect& area, const QString& faceName, int height, int largestCell, int rows,
                           const std::vector<QString>& names);

    Mode mode() const { return m_mode; }
    int count() const { return m_count; }
    // The rectangle the cells fill; above the page strip when there are pages.
    const Rect& area() const { return m_area; }
    int pages() const { return m_pages; }
    int perPage() const { return m_perPage; }
    int columns() const { return m_columns; }
    // The Windows font height the names are drawn at, and its font.
    int fontHeight() const { return m_fontHeight; }
    const QFont& font() const { return m_font; }

    int pageOf(int index) const { return m_perPage > 0 ? index / m_perPage : 0; }
    int firstOn(int page) const { return page * m_perPage; }
    int countOn(int page) const;
    // The cell of a winner, on its page.
    Rect cell(int index) const;
    // The winner whose cell on the page holds the point, or -1.
    int indexAt(int page, int x, int y) const;
    // The name as it fits its cell: cut at its end with an ellipsis only
    // when wider than a cell at the least font.
    QString fitted(const QString& name) const;

    // Every layout has an id of its own; copies share it.
    std::uint64_t id() const { return m_id; }
    // Draws the names of a page into their cells in that colour, and "2/5"
    // under them in the area when `numbered` and there are pages.
    void draw(QPainter& painter, const Rect& area, int page, const QColor& color,
              const std::function<QString(int)>& name, bool numbered) const;
    // The same into a transparent picture of the area, any thread.
    QImage drawn(const Rect& area, int page, const QColor& color,
                 const std::function<QString(int)>& name) const;
    // Its numbered first page drawn ahead, off the GUI thread, in that colour.
    void setFirstPage(QImage page, const QColor& color);
    // That page when it was drawn in that colour; null otherwise.
    const QImage* firstPage(const QColor& color) const;

private:
    std::uint64_t m_id = 0;
    std::shared_ptr<const QImage> m_firstPage;
    QRgb m_firstPageColor = 0;
    Mode m_mode = Mode::OneColumn;
    Rect m_area;
    int m_count = 0;
    int m_fontHeight = 0;
    QFont m_font;
    int m_columns = 1;
    int m_rows = 0;
    int m_perPage = 0;
    int m_pages = 1;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    bool m_elide = false;
};

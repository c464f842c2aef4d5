#include "app/WinnerWall.h"
#include "areas/AreaFont.h"

#include <QFontMetrics>
#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace {

std::vector<QString> names(int count, int kind)
{
    static const QString family = QString::fromUtf8("张王李赵刘陈杨黄周吴徐孙胡朱高林何郭马罗");
    std::vector<QString> list;
    for (int i = 0; i < count; ++i) {
        switch (kind) {
        case 0: // Chinese names of two to four characters
            list.push_back(family.mid(i % 20, 1) + family.mid((i * 7) % 20, 1 + i % 3));
            break;
        case 1: // staff lines
            list.push_back(QStringLiteral("A%1 ").arg(1000 + i) + family.mid(i % 20, 2) +
                           QString::fromUtf8(" 研发部"));
            break;
        default: // long Latin names, one of them far too long for any cell
            list.push_back(i == count / 2
                               ? QStringLiteral("Christopher Montgomery-Wellington the Third of Yorkshire "
                                                "and Lancaster, Duke of Everything")
                               : QStringLiteral("Christopher Montgomery-Wellington %1").arg(i));
        }
    }
    return list;
}

} // namespace

// Every batch on every screen: no two cells overlap, each name fits its
// cell at the font chosen (or is elided as the last resort), the font is the
// area's shrunk no further than the minimum, and every winner stands on
// exactly one page; one column at the area's font whenever it fits.
TEST(WinnerWall, EveryWinnerGetsACellOfItsOwnAtALegibleSize)
{
    const QString face = QStringLiteral("WenQuanYi Micro Hei");
    struct Screen
    {
        int width;
        int height;
    };
    for (const Screen screen :
         {Screen{1024, 768}, Screen{1280, 720}, Screen{1920, 1080}, Screen{3840, 2160}}) {
        // The demo's names area and font, scaled to the screen.
        const Rect area(screen.width * 860 / 1920, screen.height * 280 / 1080, screen.width * 1840 / 1920,
                        screen.height * 890 / 1080);
        const int height = screen.height * 52 / 1080;
        const int minimum = WinnerWall::minimumCellHeight(screen.height);
        for (const int count : {1, 10, 20, 50, 100, 500, 1000}) {
            for (int kind = 0; kind < 3; ++kind) {
                const std::vector<QString> list = names(count, kind);
                const WinnerWall wall = WinnerWall::layOut(area, face, height, minimum, list);
                const std::string where =
                    std::to_string(screen.height) + " " + std::to_string(count) + " " + std::to_string(kind);
                const QFontMetrics metrics(wall.font());
                ASSERT_EQ(wall.count(), count) << where;
                EXPECT_GE(metrics.height(),
                          std::min(minimum, QFontMetrics(AreaFont::font(face, height)).height()))
                    << where;
                int placed = 0;
                std::vector<QRect> cells;
                for (int page = 0; page < wall.pages(); ++page) {
                    cells.clear();
                    for (int i = wall.firstOn(page); i < wall.firstOn(page) + wall.countOn(page); ++i) {
                        ++placed;
                        ASSERT_EQ(wall.pageOf(i), page) << where;
                        const QRect cell = wall.cell(i).toQRect();
                        EXPECT_TRUE(area.toQRect().contains(cell)) << where << " cell " << i;
                        EXPECT_GE(cell.height(), metrics.height()) << where << " cell " << i;
                        const QString shown = AreaFont::withoutMnemonics(wall.fitted(list[size_t(i)]));
                        EXPECT_LE(metrics.horizontalAdvance(shown), cell.width()) << where << " cell " << i;
                        EXPECT_TRUE(shown == list[size_t(i)] ||
                                    (kind == 2 && i == count / 2 && wall.fontHeight() <= minimum))
                            << where << " only the overlong name is elided, at the least font: "
                            << shown.toStdString();
                        const QPoint middle = cell.center();
                        EXPECT_EQ(wall.indexAt(page, middle.x(), middle.y()), i) << where;
                        for (const QRect& other : cells)
                            EXPECT_FALSE(other.intersects(cell)) << where << " cell " << i;
                        cells.push_back(cell);
                    }
                }
                EXPECT_EQ(placed, count) << where;
                const bool oneColumnFits =
                    area.height() / count >= QFontMetrics(AreaFont::font(face, height)).height() &&
                    std::all_of(list.begin(), list.end(), [&](const QString& name) {
                        return QFontMetrics(AreaFont::font(face, height)).horizontalAdvance(name) <=
                               area.width();
                    });
                EXPECT_EQ(wall.mode() == WinnerWall::Mode::OneColumn, oneColumnFits) << where;
                if (wall.pages() > 1) {
                    EXPECT_LE(wall.fontHeight(), minimum) << where << " pages only at the least font";
                }
                // Measured on a sample that holds the widest names, as while names
                // cycle: the same grid for as many cells.
                std::vector<QString> sample = list;
                std::sort(sample.begin(), sample.end(), [&](const QString& a, const QString& b) {
                    return metrics.horizontalAdvance(a) > metrics.horizontalAdvance(b);
                });
                sample.resize(std::min<size_t>(sample.size(), 10));
                const WinnerWall sampled =
                    WinnerWall::layOut(area, face, height, minimum, sample, list.size());
                EXPECT_EQ(std::make_tuple(sampled.count(), sampled.mode(), sampled.pages(), sampled.columns(),
                                          sampled.fontHeight(), sampled.cell(count - 1)),
                          std::make_tuple(wall.count(), wall.mode(), wall.pages(), wall.columns(),
                                          wall.fontHeight(), wall.cell(count - 1)))
                    << where;
            }
        }
    }
}

// A few winners grow into the largest font their rows hold, up to a cell of
// 1/6 of the screen, and only when that is half again the area's own; on
// every screen and for layouts made on a small and a large one.
TEST(WinnerWall, AFewWinnersGrowIntoTheLargestFontTheirRowsHold)
{
    const QSize screens[] = {{1024, 768}, {1280, 720}, {1920, 1080}, {3840, 2160}};
    // The names area and its font as made on 1024 x 768 and on 1920 x 1080.
    const struct
    {
        QSize madeFor;
        Rect area;
        int height;
    } layouts[] = {{{1024, 768}, Rect(460, 200, 980, 630), 28},
                   {{1920, 1080}, Rect(860, 280, 1840, 890), 52}};
    for (const QSize& screen : screens) {
        for (const auto& layout : layouts) {
            const double sx = double(screen.width()) / layout.madeFor.width();
            const double sy = double(screen.height()) / layout.madeFor.height();
            const Rect area(int(layout.area.left * sx), int(layout.area.top * sy),
                            int(layout.area.right * sx), int(layout.area.bottom * sy));
            const int height = std::max(1, int(layout.height * std::min(sx, sy)));
            const int largest = WinnerWall::largestCellHeight(screen.height());
            for (int rows = 1; rows <= 10; ++rows) {
                const std::vector<QString> shown = names(rows, 0);
                const int grown = WinnerWall::grownHeight(area, QString(), height, largest, rows, shown);
                const auto fits = [&](int h) {
                    const QFontMetrics metrics(AreaFont::font(QString(), h));
                    int widest = 0;
                    for (const QString& name : shown)
                        widest = std::max(widest, metrics.horizontalAdvance(name));
                    return metrics.height() <= std::min(largest, area.height() / rows) &&
                           widest <= area.width();
                };
                const std::string where = std::to_string(screen.width()) + "x" +
                                          std::to_string(screen.height()) + " rows " + std::to_string(rows);
                if (grown == height) {
                    EXPECT_FALSE(fits(height + (height + 1) / 2)) << where;
                    continue;
                }
                EXPECT_GE(grown * 2, height * 3) << where;
                EXPECT_TRUE(fits(grown)) << where;
                EXPECT_FALSE(fits(grown + 1)) << where;
            }
            // One winner on a projector gets a cell of at least 1/8 of its height.
            const int one = WinnerWall::grownHeight(area, QString(), height, largest, 1, names(1, 0));
            EXPECT_GE(QFontMetrics(AreaFont::font(QString(), one)).height() * 8, screen.height())
                << screen.width() << "x" << screen.height();
            EXPECT_EQ(WinnerWall::grownHeight(area, QString(), height, 0, 1, names(1, 0)), height)
                << "Grow=0";
        }
    }
}

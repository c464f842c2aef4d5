#include "app/CaptionLayout.h"
#include "app/CaptionText.h"
#include "app/DrawEngine.h"
#include "app/SummaryLayout.h"
#include "app/TextScroll.h"
#include "areas/AreaFont.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace {

AwardItem prize(const wchar_t* name, int count, std::vector<tstring> winners)
{
    AwardItem item;
    item.awardName = name;
    item.winnerCount = count;
    item.winners = std::move(winners);
    return item;
}

// The draw at that prize with the table as it stands.
void at(DrawEngine& engine, std::vector<AwardItem> awards, int current, bool running = false)
{
    engine.setPrizes(std::move(awards), running ? current - 1 : current);
    if (running)
        engine.StartDraw();
}

QImage blackImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

} // namespace

TEST(Caption, ListsTheFinishedPrizesOrTheAreasOwnText)
{
    DrawEngine engine;
    const std::vector<AwardItem> awards = {prize(L"三等奖", 2, {L"甲", L"乙"}), prize(L"二等奖", 1, {L"丙"}),
                                           prize(L"一等奖", 1, {})};
    struct Case
    {
        int current;
        bool running;
        QString caption;
        QString count;
    } cases[] = {
        {-1, 0, "Welcome", "总共 4 个奖品, 已经抽取了 0 名"},
        {0, 1, "Welcome", "总共 4 个奖品, 已经抽取了 0 名"},
        {0, 0, "恭喜!  三等奖: 甲 乙     ", "总共 4 个奖品, 已经抽取了 2 名"},
        {1, 1, "恭喜!  三等奖: 甲 乙     ", "总共 4 个奖品, 已经抽取了 2 名"},
        {1, 0, "恭喜!  三等奖: 甲 乙     二等奖: 丙     ", "总共 4 个奖品, 已经抽取了 3 名"},
        {3, 0, "恭喜!  三等奖: 甲 乙     二等奖: 丙     一等奖:     ", "总共 4 个奖品, 已经抽取了 4 名"},
    };
    // The kept layout follows every change that shows in the caption.
    CaptionLayout layout;
    const QFont font;
    for (const Case& c : cases) {
        at(engine, awards, c.current, c.running);
        EXPECT_EQ(BuildCaptionText(engine, "Welcome"), c.caption) << c.current << c.running;
        EXPECT_EQ(BuildCountLine(engine), c.count) << c.current << c.running;
        layout.update(engine, "Welcome", font);
        EXPECT_EQ(layout.text(), c.caption) << c.current << c.running;
    }
    EXPECT_EQ(layout.lastPrizeOffset(), qRound(QFontMetricsF(font).horizontalAdvance(
                                            QStringLiteral("恭喜!  三等奖: 甲 乙     二等奖: 丙     "))))
        << "where the last prize's part begins";
    std::vector<AwardItem> replaced = awards;
    replaced[1].winners[0] = L"丁";
    at(engine, replaced, 3);
    layout.update(engine, "Welcome", font);
    EXPECT_EQ(layout.text(), "恭喜!  三等奖: 甲 乙     二等奖: 丁     一等奖:     ") << "a replaced winner";
    at(engine, {prize(L"零", 0, {})}, 0);
    EXPECT_EQ(BuildCaptionText(engine, "Welcome"), QString("Welcome")) << "no places given";
    layout.update(engine, "Hello", font);
    EXPECT_EQ(layout.text(), "Hello");
}

// Drawn piece by piece, the caption looks as the whole line drawn at once,
// at its start, in its middle and at its end, also after a stop has added a
// prize and a replacement has changed a winner in the middle.
TEST(Caption, TheLaidOutCaptionDrawsAsTheWholeLineDoes)
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(28);
    DrawEngine engine;
    std::vector<tstring> winners;
    for (int i = 0; i < 2000; ++i)
        winners.push_back(L"参加者" + std::to_wstring(i) + (i % 7 ? L"" : L"\U0001F600R&D"));
    std::vector<AwardItem> awards = {prize(L"参与奖", 2000, winners),
                                     prize(L"二等奖", 3, {L"甲", L"乙", L"丙"})};
    CaptionLayout layout;
    const std::function<void()> changes[] = {
        [&] { at(engine, awards, 0); },
        [&] { at(engine, awards, 1); },
        [&] {
            awards[0].winners[1000] = L"替补的名字";
            at(engine, awards, 1);
        },
    };
    for (const auto& change : changes) {
        change();
        layout.update(engine, "", font);
        const QString whole = layout.text();
        ASSERT_EQ(whole, BuildCaptionText(engine, ""));
        // Measured as it comes into view: the width is known exactly once the end has been shown.
        const int wholeWidth =
            qCeil(QFontMetricsF(font).horizontalAdvance(AreaFont::withoutMnemonics(whole)));
        ASSERT_GT(wholeWidth, 100000);
        for (const int left : {300, -wholeWidth / 2, 1000 - wholeWidth}) {
            QImage expected = blackImage(1000, 60);
            QImage drawn = blackImage(1000, 60);
            {
                QPainter p(&expected);
                p.setFont(font);
                p.setPen(Qt::white);
                p.drawText(QPointF(left, 10 + QFontMetricsF(font).ascent()),
                           AreaFont::withoutMnemonics(whole));
            }
            {
                QPainter p(&drawn);
                p.setPen(Qt::white);
                layout.draw(p, left, 10, 0, 1000);
            }
            EXPECT_NE(drawn, blackImage(1000, 60)) << left;
            EXPECT_EQ(drawn, expected) << left << " " << layout.width();
        }
        EXPECT_NEAR(layout.width(), wholeWidth, 1);
    }
}

TEST(Caption, RunsInFromTheRightAndStartsAgainOnceItHasLeft)
{
    TextScroll caption(TextScroll::Axis::Leftwards);
    const Rect area(100, 900, 1100, 960);
    EXPECT_EQ(caption.advance(area, 300), Rect(1076, 900, 1376, 960));
    // A line still being measured: its end follows what is known of its width.
    EXPECT_EQ(caption.advance(area, 500), Rect(1052, 900, 1552, 960));
    Rect last;
    int paints = 2;
    do {
        last = caption.advance(area, 500);
        ++paints;
    } while (last.left != area.right && paints < 1000);
    EXPECT_EQ(last, Rect(1100, 900, 1600, 960));
    EXPECT_EQ(paints, 2 + (1552 - 100) / 24 + 1);
    // After a stop the new prize's part, 350 px into the line, enters at once.
    caption.enterAt(area, 500, 350);
    EXPECT_EQ(caption.advance(area, 500), Rect(750, 900, 1250, 960));
}

TEST(Caption, TheSummaryRisesFromBelowAndEntersAgain)
{
    TextScroll scroll(TextScroll::Axis::Upwards);
    const Rect screen(0, 0, 1920, 1080);
    EXPECT_EQ(scroll.advance(screen, 100), Rect(0, 1056, 1920, 1156));
    EXPECT_EQ(scroll.advance(screen, 900), Rect(0, 1032, 1920, 1932));
    Rect last;
    for (int i = 0; i < 200 && last.top != 1080; ++i)
        last = scroll.advance(screen, 900);
    EXPECT_EQ(last, Rect(0, 1080, 1920, 1980));
}

// The summary drawn from its layout looks exactly as a word-wrapping,
// mnemonic-showing text drawing in the same box, wherever the box stands,
// also where it is laid out in pieces.
TEST(Caption, TheLaidOutSummaryDrawsAsTheTextDrawingDoes)
{
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(28);
    QString long_;
    for (int i = 0; i < 300; ++i)
        long_ += i % 97 == 50 ? QString(40, QChar(0x674E)) + QStringLiteral(" 折行\n")
                              : QStringLiteral("第%1名 张三&\n").arg(i);
    const QString texts[] = {
        long_,
        QStringLiteral("年会\n\n2026-12-09  20:15:07\n一等奖\n张三"),
        QStringLiteral("R&D &&&x & end&"),
        QString(60, QChar(0x5F20)) + QStringLiteral(" wrapped words that run past the edge of the box\n尾"),
    };
    const Rect boxes[] = {Rect(0, 20, 400, 380), Rect(0, -20, 400, 300), Rect(0, 360, 400, 2000),
                          Rect(0, -3000, 400, 9000)};
    for (const QString& text : texts) {
        SummaryLayout layout;
        for (const Rect& box : boxes) {
            QImage expected = blackImage(400, 400);
            QImage drawn = blackImage(400, 400);
            {
                QPainter p(&expected);
                p.setFont(font);
                p.setPen(Qt::white);
                p.drawText(box.toQRect(),
                           Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
            }
            {
                QPainter p(&drawn);
                p.setPen(Qt::white);
                layout.prepare(text, font, box.width());
                layout.draw(p, box);
            }
            EXPECT_TRUE(expected != blackImage(400, 400) || (box.top < 0 && text != long_));
            EXPECT_EQ(drawn, expected) << text.toStdString() << " at " << box.top;
        }
    }
}

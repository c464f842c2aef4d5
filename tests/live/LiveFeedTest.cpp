#include "live/LiveFeed.h"
#include "app/DrawSession.h"
#include "platform/Clock.h"
#include "support/TestEvent.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QJsonObject json(const QByteArray& bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

QStringList strings(const QJsonValue& value)
{
    return value.toVariant().toStringList();
}

} // namespace

// Each change the session makes is one update with the next version, and the
// results after it; the phones see names as the event allows, never the
// number or department an import brought.
TEST(LiveFeed, EachChangeIsOneUpdateAndNamesLeaveAsTheEventAllows)
{
    const struct
    {
        const char* fields;
        bool masked;
        QString shown; // the line "A0007 张小七 研发部" on a phone
    } cases[] = {
        {"", false, QString::fromUtf8("A0007 张小七 研发部")},
        {"工号 姓名 部门", false, QString::fromUtf8("张小七")},
        {"工号 姓名 部门", true, QString::fromUtf8("张*七")},
    };
    Clock::setFixed(1700000000);
    for (const auto& c : cases) {
        TestFolder folder;
        TestEvent::make(folder, 1, {1, 2});
        folder.write(
            "data.txt",
            "A0007 张小七 研发部\r\nA0008 王五 市场部\r\nA0009 李四 行政部\r\nA0010 赵六 行政部\r\n");
        if (*c.fields)
            folder.write("AwardInfo.ini",
                         folder.read("AwardInfo.ini") + "[Participants]\r\nFields=" + c.fields + "\r\n");
        DrawSession session(folder.event());
        session.open(1920, 1080);
        LiveFeed feed(session,
                      PhoneNames(QString::fromUtf8(c.fields).split(' ', Qt::SkipEmptyParts), c.masked));
        std::vector<LiveUpdate> updates;
        QObject::connect(&feed, &LiveFeed::updated,
                         [&updates](const LiveUpdate& update) { updates.push_back(update); });
        const qint64 first = feed.current().version;
        EXPECT_EQ(json(feed.current().results)["masked"].toBool(), c.masked) << c.fields;

        session.start();
        session.stop();
        session.start();
        session.stop();
        const QString winner = QString::fromStdWString(session.engine().award(1).winners[0]);
        session.replace(0);
        session.openResultScreen();
        session.restart("redraw");
        ASSERT_EQ(updates.size(), 5u) << c.fields;
        const char* kinds[] = {"prize", "prize", "replace", "finished", "reset"};
        for (size_t i = 0; i < updates.size(); ++i) {
            EXPECT_EQ(updates[i].event, kinds[i]) << c.fields;
            EXPECT_EQ(updates[i].version, first + qint64(i) + 1) << c.fields;
            EXPECT_EQ(json(updates[i].results)["version"].toInteger(), updates[i].version) << c.fields;
            EXPECT_EQ(json(updates[i].data)["version"].toInteger(), updates[i].version) << c.fields;
        }
        const QJsonObject drawn = json(updates[0].data)["prize"].toObject();
        EXPECT_EQ(strings(drawn["winners"]).size(), 1);
        EXPECT_FALSE(drawn["fingerprint"].toString().isEmpty()) << "the stop's journal line";
        EXPECT_EQ(json(updates[1].results)["prizes"].toArray().size(), 2) << "the results hold every prize";
        const QJsonObject replaced = json(updates[2].data)["prize"].toObject();
        EXPECT_EQ(strings(replaced["replaced"]),
                  QStringList{PhoneNames(QString::fromUtf8(c.fields).split(' ', Qt::SkipEmptyParts), c.masked)
                                  .shown(winner)});
        EXPECT_TRUE(json(updates[3].results)["finished"].toBool());
        const QJsonObject afresh = json(updates[4].data);
        EXPECT_FALSE(afresh["finished"].toBool()) << "a redraw starts the phones afresh";
        for (const QJsonValue& prize : afresh["prizes"].toArray())
            EXPECT_FALSE(prize.toObject()["drawn"].toBool());
        // Every name the phones were sent, as they were allowed to see it.
        QStringList sent;
        for (const LiveUpdate& update : updates)
            sent << QString::fromUtf8(update.results);
        const QString all = sent.join(' ');
        for (const char* hidden : {"A0008", "市场部", "A0009", "行政部"})
            EXPECT_EQ(all.contains(QString::fromUtf8(hidden)), !*c.fields) << c.fields << " " << hidden;
        EXPECT_TRUE(all.contains(c.shown) || !all.contains(QString::fromUtf8("七"))) << c.fields;
    }
    Clock::setFixed(std::nullopt);
}

// A prize shown one at a time reaches the phones a name at a time, as each lands.
TEST(LiveFeed, APrizeShownOneAtATimeReachesThePhonesAsEachLands)
{
    TestFolder folder;
    TestEvent::make(folder, 10, {3});
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") + "[AwardReveal]\r\nReveal0=1\r\n");
    DrawSession session(folder.event());
    session.open(1920, 1080);
    LiveFeed feed(session, PhoneNames({}, false));
    std::vector<int> named;
    QObject::connect(&feed, &LiveFeed::updated, [&named](const LiveUpdate& update) {
        if (update.event == "prize")
            named.push_back(int(strings(json(update.data)["prize"].toObject()["winners"]).size()));
    });
    session.start();
    session.stop();
    for (int press = 0; press < 3; ++press) {
        session.startAction();
        session.settleReveal();
    }
    EXPECT_EQ(named, (std::vector<int>{0, 1, 2, 3}));
}

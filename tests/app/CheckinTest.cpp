#include "app/CheckinBook.h"
#include "app/DrawSession.h"
#include "data/DrawJournal.h"
#include "data/JournalVerifier.h"
#include "platform/Clock.h"
#include "support/TestEvent.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QByteArray countingKey()
{
    QByteArray key;
    for (int i = 0; i < CheckinCode::KeyBytes; ++i)
        key += char(i);
    return key;
}

} // namespace

// The codes HR hands out, as an independent HMAC-SHA256 and base32 give them
// (Python's hmac and base64), and a code as guests type it.
TEST(Checkin, ACodeIsTheLinesKeyedDigestInSixLetters)
{
    const struct
    {
        QByteArray key;
        const char* line;
        const char* code;
    } cases[] = {
        {countingKey(), "张伟", "6FTLFG"},
        {countingKey(), "A0001 张伟 研发部", "S5XYUK"},
        {countingKey(), "A0002 张伟 市场部", "HQFDQB"},
        {countingKey(), "O'Brien \"Jr\"", "QQTI6S"},
        {countingKey(), "", "2OFUEC"},
        {QByteArray(32, '\xff'), "李四", "TJGA2H"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckinCode(c.key).of(QString::fromUtf8(c.line)), QString::fromLatin1(c.code)) << c.line;
    const struct
    {
        const char* typed;
        const char* read;
    } typed[] = {
        {"s5xy-uk", "S5XYUK"}, {" HQF DQ8 ", "HQFDQB"}, {"2ofuec", "2OFUEC"}, {"0i1o", "OIIO"}, {"9", "9"}};
    for (const auto& t : typed)
        EXPECT_EQ(CheckinCode::normalized(QString::fromUtf8(t.typed)), QString::fromLatin1(t.read))
            << t.typed;
}

// A name and its code pick one line; a wrong name and a wrong code are told
// alike; by name alone, a name on two lines goes to the desk.
TEST(Checkin, ANameAndItsCodePickOneLine)
{
    CheckinBook book;
    book.setKey(countingKey());
    const tstring first = L"A0001 张伟 研发部";
    const tstring second = L"A0002 张伟 市场部";
    book.setParticipants({first, second, first, L"李四"});
    EXPECT_EQ(book.participantCount(), 3u) << "identical lines are one person";
    using Mode = CheckinBook::Mode;
    const struct
    {
        Mode mode;
        const char* name;
        const char* code;
        const wchar_t* line; // nullptr: refused with `message`
        const wchar_t* message;
    } cases[] = {
        {Mode::Code, "张伟", "s5xy-uk", first.c_str(), CheckinBook::Done},
        {Mode::Code, " 张伟 ", "HQFDQ8", second.c_str(), CheckinBook::Done},
        {Mode::Code, "张伟", "HQFDQA", nullptr, CheckinBook::Wrong},
        {Mode::Code, "李四", "S5XYUK", nullptr, CheckinBook::Wrong},
        {Mode::Code, "王五", "S5XYUK", nullptr, CheckinBook::Wrong},
        {Mode::Code, "研发", "S5XYUK", nullptr, CheckinBook::Wrong},
        {Mode::Name, "李四", "", L"李四", CheckinBook::Done},
        {Mode::Name, "张伟", "", nullptr, CheckinBook::SameName},
        {Mode::Name, "王五", "", nullptr, CheckinBook::Wrong},
        {Mode::Off, "李四", "", nullptr, CheckinBook::Wrong},
    };
    for (const auto& c : cases) {
        const CheckinBook::Answer answer =
            book.find(c.mode, QString::fromUtf8(c.name), QString::fromUtf8(c.code), QString());
        EXPECT_EQ(answer.ok, c.line != nullptr) << c.name << " " << c.code;
        EXPECT_EQ(answer.message, QString::fromWCharArray(c.message)) << c.name << " " << c.code;
        if (c.line) {
            EXPECT_EQ(answer.line, tstring(c.line));
        }
    }
    book.mark({first}, 100, QStringLiteral("code"), QStringLiteral("phone-1"));
    const CheckinBook::Answer again =
        book.find(Mode::Code, QStringLiteral("张伟"), QStringLiteral("S5XYUK"), "phone-2");
    EXPECT_TRUE(again.ok && again.already && again.otherDevice);
    EXPECT_EQ(again.message, QString::fromWCharArray(CheckinBook::Again));
    EXPECT_FALSE(
        book.find(Mode::Code, QStringLiteral("张伟"), QStringLiteral("S5XYUK"), "phone-1").otherDevice);
}

// A prize of those present is drawn among the lines checked in before its
// stop, recorded so, and rafo-verify replays it from the journal's check-ins;
// a check-in of a line the list did not hold then is reported.
TEST(Checkin, APrizeOfThosePresentIsDrawnAmongThemAndReplaysSo)
{
    Clock::setFixed(1700000000);
    TestFolder folder;
    TestEvent::make(folder, 1, {2, 1});
    folder.write("data.txt", "张伟 研发部\r\n张伟 市场部\r\n李四\r\n王五\r\n赵六\r\n孙七\r\n周八\r\n");
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") +
                                      "[AwardRange]\r\nRange0=已签到\r\n[Phone]\r\nCheckin=name\r\n");
    auto session = std::make_unique<DrawSession>(folder.event());
    session->open(1920, 1080);
    EXPECT_TRUE(session->takeNotices().empty()) << "nobody has checked in yet: no range is empty for that";
    // As a phone's: the answer comes once the batch is journalled.
    const auto checkIn = [&session](const QString& name, const QString& device) {
        CheckinBook::Answer heard;
        session->checkinDesk().checkIn(name, QString(), device,
                                       [&heard](const CheckinBook::Answer& answer) { heard = answer; });
        session->checkinDesk().flush();
        return heard;
    };
    EXPECT_EQ(checkIn(QStringLiteral("李四"), QString()).message,
              QString::fromWCharArray(CheckinBook::Closed));
    ASSERT_TRUE(session->checkinDesk().setOpen(true));
    // Two phones within a moment: one entry, and neither hears of it before it is written.
    std::vector<bool> heard;
    for (const auto& [name, device] : {std::pair{"李四", "a"}, std::pair{"王五", "b"}})
        session->checkinDesk().checkIn(
            QString::fromUtf8(name), QString(), QString::fromUtf8(device),
            [&heard](const CheckinBook::Answer& answer) { heard.push_back(answer.ok); });
    EXPECT_TRUE(heard.empty());
    session->checkinDesk().flush();
    EXPECT_EQ(heard, (std::vector<bool>{true, true}));
    EXPECT_EQ(checkIn(QStringLiteral("张伟"), QString()).message,
              QString::fromWCharArray(CheckinBook::SameName));
    EXPECT_TRUE(checkIn(QStringLiteral("李四"), QStringLiteral("c")).already);
    EXPECT_EQ(session->checkinDesk().notes().size(), 1) << "a second phone for one person is told";
    session->checkinDesk().checkInAtDoor({L"张伟 市场部"});
    EXPECT_EQ(session->checkinDesk().book().checkedInCount(), 3u);

    session->start();
    session->stop();
    const std::vector<tstring>& winners = session->engine().award(0).winners;
    ASSERT_EQ(winners.size(), 2u);
    for (const tstring& winner : winners)
        EXPECT_TRUE(session->checkinDesk().book().isCheckedIn(winner))
            << QString::fromStdWString(winner).toStdString();
    EXPECT_TRUE(checkIn(QStringLiteral("赵六"), QString()).ok) << "after the stop";
    session->start();
    session->stop();

    QStringList types;
    qint64 checkedIn = -1;
    for (const QString& line :
         QString::fromStdString(folder.read("Journal/journal.jsonl")).split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject entry = QJsonDocument::fromJson(line.toUtf8()).object();
        types << entry.value("type").toString();
        if (entry.value("type") == QLatin1String("stop") && entry.contains("checkedIn"))
            checkedIn = entry.value("checkedIn").toInteger();
    }
    EXPECT_EQ(types.join(','), "start,checkin,checkin,stop,checkin,stop");
    EXPECT_EQ(checkedIn, 3);
    const JournalVerifier::Report verified = JournalVerifier::verify(folder.event());
    EXPECT_EQ(verified.exitCode, JournalVerifier::Verified) << verified.lines.join('\n').toStdString();

    ASSERT_TRUE(session->checkinDesk().exportAttendance());
    const std::string attendance = folder.read("Attendance.csv");
    EXPECT_EQ(attendance.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_NE(attendance.find("张伟 市场部,"), std::string::npos);
    EXPECT_NE(attendance.find(",operator\r\n"), std::string::npos);
    ASSERT_TRUE(session->checkinDesk().exportCodes());
    EXPECT_NE(folder.read("Checkin.csv").find("孙七,"), std::string::npos);

    // The program again: who checked in stays.
    session = std::make_unique<DrawSession>(folder.event());
    session->open(1920, 1080);
    EXPECT_EQ(session->checkinDesk().book().checkedInCount(), 4u);
    session.reset();
    DrawJournal journal(folder.event());
    ASSERT_TRUE(journal.open());
    journal.append(JournalEntry::checkin(JournalEntry::Checkin{{L"陌生人"}, QStringLiteral("name"), 0}));
    const JournalVerifier::Report stranger = JournalVerifier::verify(folder.event());
    EXPECT_EQ(stranger.exitCode, JournalVerifier::Discarded) << stranger.lines.join('\n').toStdString();
    EXPECT_TRUE(stranger.lines.join('\n').contains(QStringLiteral("陌生人 不在当时的名单上")));
    Clock::setFixed(std::nullopt);
}

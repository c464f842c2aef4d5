#include "app/ScreenTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

namespace {

// Debian's chromium, headless, driven line by line through the DevTools pipe.
class Browser
{
public:
    Browser()
    {
        m_process.setProgram(QStringLiteral("python3"));
        m_process.setArguments({QStringLiteral(RAFO_SOURCE_DIR "/tests/browser/browser_driver.py")});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        m_ready = m_process.waitForStarted(10000) && reply().value("ready").toBool();
    }
    ~Browser()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
    }
    bool ready() const { return m_ready; }

    QJsonObject command(const QString& line)
    {
        m_process.write(line.toUtf8() + '\n');
        return reply();
    }
    bool wait(int ms, const QString& expression)
    {
        return command(QStringLiteral("wait %1 %2").arg(ms).arg(expression)).value("ok").toBool();
    }
    QJsonValue eval(const QString& expression)
    {
        return command(QStringLiteral("eval ") + expression).value("value");
    }

private:
    // The show's events go on meanwhile: a check-in is answered on this thread.
    QJsonObject reply()
    {
        if (!QTest::qWaitFor([this] { return m_process.canReadLine(); }, 30000))
            return QJsonObject();
        return QJsonDocument::fromJson(m_process.readLine()).object();
    }

    QProcess m_process;
    bool m_ready = false;
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

// A phone opens the page from the running show: every prize, a stop within a
// second of it, a guest finding a name, and a name that looks like markup
// shown as the text it is.
TEST_F(ScreenTest, APhoneFollowsTheShowInARealBrowser)
{
    SetUpScreen(1, {3, 1});
    closeScreen();
    folder.write("data.txt", "张小三\r\n<script>alert(1)</script>\r\nO'Brien \"Jr\"\r\n李四\r\n");
    const quint16 port = freePort();
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") +
                                      "[Phone]\r\nEnabled=1\r\nAddress=127.0.0.1\r\nCheckin=name\r\nPort=" +
                                      std::to_string(port) + "\r\n");
    openScreen();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !windows->phones().url().isEmpty(); }, 5000));
    const QString url = windows->phones().url();
    EXPECT_EQ(url, QStringLiteral("http://127.0.0.1:%1/").arg(port));
    EXPECT_FALSE(windows->phones().qrCode().isNull());

    Browser browser;
    ASSERT_TRUE(browser.ready()) << "chromium runs headless (./scripts/setup installs it)";
    browser.command(QStringLiteral("viewport 390 844"));
    ASSERT_TRUE(browser.command(QStringLiteral("open ") + url).value("ok").toBool());
    ASSERT_TRUE(
        browser.wait(10000, QStringLiteral("document.querySelectorAll('.prize').length === 2 && "
                                           "document.getElementById('status').textContent === '实时更新'")));
    EXPECT_EQ(browser.eval(QStringLiteral("document.getElementById('title').textContent")).toString(),
              screen->area(AreaMainTitle).m_titleName);

    screen->StartDraw();
    screen->StopDraw();
    const QJsonObject seen = browser.command(QStringLiteral(
        "wait 1000 document.querySelectorAll('.prize[data-index=\"0\"] .winner').length === 3"));
    EXPECT_TRUE(seen.value("ok").toBool()) << "the stop reaches the phone within a second";

    // One of the four is left: a guest finds a winner's name and not that one.
    const QString winner = QString::fromStdWString(screen->engine().award(0).winners[0]);
    const QString left = screen->engine().pool().text(0);
    for (const QString& name : {winner, left}) {
        browser.command(QStringLiteral("type #find-input ") + name);
        browser.command(QStringLiteral("click #find-button"));
        EXPECT_EQ(
            browser
                .eval(QStringLiteral("document.getElementById('find-result').textContent.includes('恭喜')"))
                .toBool(),
            name == winner)
            << name.toStdString();
    }
    const bool scriptWon = left != QStringLiteral("<script>alert(1)</script>");
    EXPECT_EQ(browser
                  .eval(QStringLiteral("Array.from(document.querySelectorAll('.winner')).some(function (w) { "
                                       "return w.textContent === '<script>alert(1)</script>'; })"))
                  .toBool(),
              scriptWon);
    EXPECT_EQ(browser.eval(QStringLiteral("document.querySelectorAll('script:not([src])').length")).toInt(),
              0)
        << "markup in a name stays text";

    // A guest checks in through the page's form once the console opens check-in.
    EXPECT_TRUE(
        browser.wait(100, QStringLiteral("document.getElementById('checkin').dataset.state === 'closed'")));
    ASSERT_TRUE(windows->controller().session().checkinDesk().setOpen(true));
    ASSERT_TRUE(
        browser.wait(5000, QStringLiteral("document.getElementById('checkin').dataset.state === 'form'")));
    browser.command(QStringLiteral("type #checkin-name 张小三"));
    browser.command(QStringLiteral("click #checkin-button"));
    EXPECT_TRUE(
        browser.wait(5000, QStringLiteral("document.getElementById('checkin').dataset.state === 'done'")));
    const QString said =
        browser.eval(QStringLiteral("document.getElementById('checkin-result').textContent")).toString();
    EXPECT_TRUE(said.contains(QStringLiteral("签到成功"))) << said.toStdString();
    EXPECT_TRUE(windows->controller().session().checkinDesk().book().isCheckedIn(L"张小三"));

    // The hall's QR code carries the address the page is served at.
    QTest::keyClick(screen, Qt::Key_Q);
    ASSERT_TRUE(screen->phoneCodeShown());
    const QString shot = folder.event().file("screen.png");
    ASSERT_TRUE(screen->grab().save(shot));
    QProcess reader;
    reader.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), shot});
    ASSERT_TRUE(reader.waitForFinished(30000)) << "zbarimg runs (./scripts/setup installs zbar-tools)";
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()).trimmed(), url);
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_FALSE(screen->phoneCodeShown()) << "any other key only takes it away";
    EXPECT_FALSE(screen->engine().running());
    // The show ends with the console open and the page on: nothing of it outlives its view.
    windows->openConsole();
}

// A witnessed draw on a phone: the commitment while the names cycle, the
// digits as the hall rolls them, and after the stop the phone's own check.
TEST_F(ScreenTest, APhoneChecksAWitnessedDrawItself)
{
    SetUpScreen(6, {2});
    closeScreen();
    const quint16 port = freePort();
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini") + "[Draw]\r\nRule=rafo-2\r\n" +
                     "[Phone]\r\nEnabled=1\r\nAddress=127.0.0.1\r\nPort=" + std::to_string(port) + "\r\n");
    openScreen();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !windows->phones().url().isEmpty(); }, 5000));
    Browser browser;
    ASSERT_TRUE(browser.ready());
    ASSERT_TRUE(browser.command(QStringLiteral("open ") + windows->phones().url()).value("ok").toBool());
    ASSERT_TRUE(browser.wait(10000, QStringLiteral("document.querySelectorAll('.prize').length === 1")));

    DrawSession& session = windows->controller().session();
    QTest::keyClick(screen, Qt::Key_Space);
    session.settle();
    ASSERT_TRUE(session.witness().commit());
    const QString commitment = Commitment::hex(session.witness().commit()->commitment).toUpper();
    EXPECT_TRUE(browser.wait(5000, QStringLiteral("document.getElementById('witness-commitment').textContent"
                                                  ".replace(/[^0-9A-F]/g, '') === '%1'")
                                       .arg(commitment)));
    QTest::keyClicks(screen, QStringLiteral("31415926535"));
    QTest::keyClick(screen, Qt::Key_Return);
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_TRUE(session.engine().running()) << "Enter ends nothing, and 11 digits are too few";
    QTest::keyClick(screen, Qt::Key_8, Qt::KeypadModifier);
    EXPECT_TRUE(browser.wait(5000, QStringLiteral("document.getElementById('witness-digits').textContent"
                                                  ".replace(/ /g, '') === '314159265358'")));
    QTest::keyClick(screen, Qt::Key_Space);
    session.settle();
    EXPECT_FALSE(session.engine().running());
    EXPECT_TRUE(
        browser.wait(5000, QStringLiteral("(document.querySelector('.witness-check') || {}).textContent "
                                          "=== '✓ 承诺相符'")))
        << browser.eval(QStringLiteral("document.body.innerText")).toString().toStdString();
}

#include "app/CRafoDlg.h"
#include "app/ModalRunner.h"
#include "app/OperatorConsole.h"
#include "app/ScreenTestSupport.h"
#include "app/ShowWindows.h"
#include "support/TestMain.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>

namespace {

// A laptop and, to its right, a projector of another size.
const QRect Laptop(0, 0, 1920, 1080);
const QRect Projector(1920, 0, 1280, 720);

class TwoScreens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MusicPlayer::setAudioSink("fakesink sync=true");
        m_previous = ModalRunner::setDialogRunner([this](QDialog& dialog) {
            dialog.show();
            if (onDialog)
                onDialog(dialog);
            dialog.hide();
            return dialog.result();
        });
    }

    // The event made afresh, and the show started as the program starts it.
    void start(const std::string& display = std::string())
    {
        TestEvent::make(folder, 30, {3});
        if (!display.empty())
            folder.write("AwardInfo.ini",
                         folder.read("AwardInfo.ini") + "[Display]\r\nScreen=" + display + "\r\n");
        show = std::make_unique<ShowWindows>(folder.event());
        show->open();
        show->drawScreen().show();
    }

    void TearDown() override
    {
        show.reset();
        ModalRunner::setDialogRunner(m_previous);
    }

    TestFolder folder;
    std::unique_ptr<ShowWindows> show;
    std::function<void(QDialog&)> onDialog;

private:
    ModalRunner::DialogRunner m_previous;
};

} // namespace

TEST_F(TwoScreens, TheShowCoversTheProjectorAndTheConsoleTheLaptop)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    const struct
    {
        const char* display;
        QRect show;
        QRect console;
    } cases[] = {
        {"", Projector, Laptop},  {"laptop", Laptop, Projector}, {"1", Laptop, Projector},
        {"2", Projector, Laptop}, {"beamer", Projector, Laptop},
    };
    for (const auto& c : cases) {
        start(c.display);
        EXPECT_EQ(show->drawScreen().geometry(), c.show) << c.display;
        EXPECT_EQ(show->drawScreen().screenRect(), Rect(0, 0, c.show.width(), c.show.height())) << c.display;
        ASSERT_TRUE(show->console()) << c.display;
        EXPECT_TRUE(show->console()->isVisible());
        EXPECT_TRUE(c.console.contains(show->console()->geometry())) << c.display;
        const QImage audience = show->drawScreen().grab().toImage();
        EXPECT_EQ(audience.size(), c.show.size());
        EXPECT_GT(ScreenTest::count(audience, audience.rect(), TestEvent::Show),
                  audience.width() * audience.height() / 4)
            << "the background covers the screen";
        const QImage console = show->console()->grab().toImage();
        EXPECT_FALSE(console.isNull());
        EXPECT_TRUE(show->console()->findChild<QLabel*>("preview")->pixmap().size().width() > 0)
            << "the preview shows the screen already painted";
        show.reset();
    }
}

TEST_F(TwoScreens, TheResultScreenHoldsTheShowButNotTheConsole)
{
    start();
    bool blackedWhileOpen = false;
    onDialog = [this, &blackedWhileOpen](QDialog& dialog) {
        // As exec shows it: modal, with the window system's input going through the blocking rules.
        dialog.hide();
        dialog.setAttribute(Qt::WA_ShowModal, true);
        dialog.show();
        QPushButton* black = show->console()->findChild<QPushButton*>("blackButton");
        const QPoint at = black->mapTo(show->console(), black->rect().center());
        QTest::mouseClick(show->console()->windowHandle(), Qt::LeftButton, {}, at);
        blackedWhileOpen = show->controller().session().blackedOut();
    };
    show->showResultScreen();
    EXPECT_TRUE(blackedWhileOpen);

    // The console's 退出 ends the result screen and the show together.
    MessageRecorder messages;
    onDialog = [this](QDialog&) { show->console()->findChild<QPushButton*>("exitButton")->click(); };
    show->showResultScreen();
    EXPECT_FALSE(show->resultScreenOpen());
    EXPECT_EQ(show->drawScreen().result(), QDialog::Accepted);
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{ShowController::ExitQuestion});
}

int main(int argc, char** argv)
{
    QTemporaryFile screens;
    screens.open();
    const auto screen = [](const char* name, const QRect& r) {
        return QStringLiteral("{\"name\": \"%1\", \"x\": %2, \"y\": %3, \"width\": %4, \"height\": %5, "
                              "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}")
            .arg(QString::fromUtf8(name))
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    };
    screens.write(QStringLiteral("{\"screens\": [%1, %2]}")
                      .arg(screen("laptop", Laptop), screen("projector", Projector))
                      .toUtf8());
    screens.flush();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.fileName()).toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    failOnUnexpectedMessages();
    return RUN_ALL_TESTS();
}

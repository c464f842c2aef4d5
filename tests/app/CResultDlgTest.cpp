#include "app/CResultDlg.h"
#include "app/ScreenTestSupport.h"

#include <QTest>

namespace {

// The topmost row of the summary's white text, which runs centred, or -1.
int summaryTop(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        if (ScreenTest::count(image, QRect(image.width() / 4, y, image.width() / 2, 1),
                              TestEvent::CaptionText) > 0)
            return y;
    }
    return -1;
}

} // namespace

TEST_F(ScreenTest, TheResultScreenScrollsTheSummaryAndClosesOnItsExitZone)
{
    SetUpScreen(30, {3, 2});
    for (int i = 0; i < 2; ++i) {
        screen->StartDraw();
        screen->StopDraw();
    }
    int firstTop = -1;
    int secondTop = -1;
    int paints = 0;
    onDialog = [&](QDialog& dialog) {
        auto& result = static_cast<CResultDlg&>(dialog);
        EXPECT_EQ(result.lineCount(), 5u + 2 * 3 + 3 + 2);
        EXPECT_EQ(windows->controller().player().path(), tstring(L"Music\\result.mp3"));
        EXPECT_EQ(windows->controller().player().mode(), MusicPlayer::PlayOnce);
        // The summary comes in from the screen's bottom edge.
        const QImage image = dialog.grab().toImage();
        firstTop = summaryTop(image);
        ++paints;
        EXPECT_EQ(count(image, QRect(1710, 970, 160, 60), TestEvent::Exit), 160 * 60);
        EXPECT_EQ(count(image, QRect(10, 10, 100, 100), TestEvent::Result), 100 * 100);
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(100, 100));
        EXPECT_EQ(dialog.result(), 0) << "a click outside the exit zone does nothing";
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(1750, 1000));
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
        onDialog = [&](QDialog& again) { secondTop = summaryTop(again.grab().toImage()); };
    };
    screen->StartDraw();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(paints, 1);
    EXPECT_GE(firstTop, 1080 - 24);
    EXPECT_EQ(windows->controller().player().mode(), MusicPlayer::Idle) << "stopped when it closed";
    windows->controller().player().settle();
    EXPECT_TRUE(windows->controller().player().ready()) << "but not released";

    QTest::keyClick(screen, Qt::Key_Space);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(secondTop, firstTop - 24) << "a second opening continues the scroll";
}

TEST_F(ScreenTest, EnterAndEscapeEndTheResultScreen)
{
    SetUpScreen(5, {});
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        onDialog = [&](QDialog& dialog) {
            QTest::keyClick(&dialog, key);
            EXPECT_EQ(dialog.result(),
                      key == Qt::Key_Return ? int(QDialog::Accepted) : int(QDialog::Rejected));
            EXPECT_FALSE(dialog.isVisible());
        };
        windows->showResultScreen();
    }
    EXPECT_EQ(dialogs.size(), 2u);
}

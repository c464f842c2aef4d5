#pragma once

#include "app/CRafoDlg.h"
#include "app/ModalRunner.h"
#include "app/ShowWindows.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestEvent.h"

#include <QImage>
#include <QMenu>
#include <gtest/gtest.h>

// The draw screen of a test event on a 1920 x 1080 screen, silent, with
// modal dialogs and menus answered by the test.
class ScreenTest : public ::testing::Test
{
public:
    // How many pixels inside the rectangle have (about) the colour.
    static int count(const QImage& image, const QRect& rect, const QColor& color)
    {
        int found = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - color.red()) < 24 && std::abs(c.green() - color.green()) < 24 &&
                    std::abs(c.blue() - color.blue()) < 24)
                    ++found;
            }
        }
        return found;
    }

protected:
    void SetUpScreen(int participants, std::initializer_list<int> winnerCounts)
    {
        MusicPlayer::setAudioSink("fakesink sync=true");
        Clock::setFixed(1700000000);
        TestEvent::make(folder, participants, winnerCounts);
        m_previousDialogs = ModalRunner::setDialogRunner([this](QDialog& dialog) {
            dialogs.push_back(dialog.objectName());
            dialog.show();
            if (onDialog)
                onDialog(dialog);
            const int result = dialog.result();
            dialog.hide();
            return result;
        });
        m_previousMenus = ModalRunner::setMenuRunner([this](QMenu& menu, const QPoint&) {
            menus.push_back(menu.objectName());
            return static_cast<QAction*>(nullptr);
        });
        openScreen();
    }

    // The program opening the event on that area (again, after closeScreen).
    void openScreen(const QRect& area = QRect(0, 0, 1920, 1080))
    {
        windows = std::make_unique<ShowWindows>(folder.event());
        screen = &windows->drawScreen();
        windows->open(area);
    }
    void closeScreen()
    {
        windows.reset();
        screen = nullptr;
    }

    void TearDown() override
    {
        closeScreen();
        ModalRunner::setDialogRunner(m_previousDialogs);
        ModalRunner::setMenuRunner(m_previousMenus);
        Clock::setFixed(std::nullopt);
    }

    QImage shot() { return screen->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TestFolder folder;
    std::unique_ptr<ShowWindows> windows;
    CRafoDlg* screen = nullptr;
    std::vector<QString> dialogs;
    std::vector<QString> menus;
    std::function<void(QDialog&)> onDialog;

private:
    ModalRunner::DialogRunner m_previousDialogs;
    ModalRunner::MenuRunner m_previousMenus;
};

#pragma once

#include "app/DrawSession.h"
#include "app/MusicPlayer.h"

#include <QBasicTimer>
#include <QObject>
#include <QRect>
#include <memory>

class QKeyEvent;
class QScreen;
class ScreenFollower;

// The show between its draw and its views: the draw session, the music and
// the screen the show follows, and every command a view may give, with the
// rules of the show (what works while names run, what asks first). Any
// number of views call it and paint what the session says; none knows another.
// Questions and messages go through MsgBox, which the views answer.
class ShowController : public QObject
{
    Q_OBJECT
public:
    static constexpr int MusicPeriodMs = 100;
    static constexpr const wchar_t* SettingsWarning = L"编辑奖品将删除所有已经抽取数据";
    static constexpr const wchar_t* ReplaceQuestion = L" 缺席, 从未中奖的人中补抽一名?";
    static constexpr const wchar_t* NobodyToReplace = L"没有可以补抽的人";
    static constexpr const wchar_t* NobodyLeftToReplace = L"没有可以补抽的人了, 其余缺席者未补抽";
    // Around the number of absent winners.
    static constexpr const wchar_t* BulkReplaceQuestion[2] = {L"补抽 ", L" 名缺席者?"};
    static constexpr const wchar_t* ExitQuestion = L"结束抽奖, 退出程序?";
    // Around the number of winners drawn.
    static constexpr const wchar_t* RedrawQuestion[2] = {L"重新抽奖将清除已经抽出的 ",
                                                         L" 名中奖者和全部结果, 确定吗?"};

    // The show of the event in that folder.
    explicit ShowController(const EventFolder& folder, QObject* parent = nullptr);
    ~ShowController() override;

    // The screen the event names, else the one that is not the primary of
    // two, else the primary, followed from now on; its area.
    QRect followScreens(const QString& wanted);
    // Start-up on that area: the draw, the layout, the stored results, the music.
    void open(const QRect& screen);
    // The exit's writes, and what they have to tell; once.
    void close();
    // The screen followed moved or changed size: the layout is scaled in memory.
    void coverScreen(const QRect& screen);

    DrawSession& session() { return m_session; }
    const DrawSession& session() const { return m_session; }
    const DrawEngine& engine() const { return m_session.engine(); }
    MusicPlayer& player() { return m_player; }
    // The area the show covers.
    const QRect& screen() const { return m_screen; }
    // The screen beside the show's, where the operator's console goes; null on one screen.
    QScreen* otherScreen() const;
    // Whether the music can be heard: found once at the start.
    bool soundAvailable() const { return m_soundAvailable; }
    // Whether the result screen is up: the draw waits behind it.
    bool resultScreenShown() const { return m_resultScreen; }

    // Space, the start zone, 开始: after the last prize the result screen again.
    void startAction();
    // The hidden start button: the next prize only.
    void start();
    void stop();
    // Space: stops the names that run, else starts.
    void space();
    void pageDown();
    void pageUp();
    void setBlackedOut(bool on);
    // A key while the screen is black ends it and does nothing else; "b",
    // "B" and "." black it. True when the key was taken.
    bool takeBlackScreenKey(const QKeyEvent& event);
    // The clicker's keys wherever they arrive: the pages, the black screen, F5.
    bool takeClickerKey(const QKeyEvent& event);
    // Asks, then gives the winner's row of the prize just drawn to someone who never won.
    void replace(int row);
    // The absent winners in those rows of any prize drawn so far, after one
    // question: each replaced by someone who never won, one after the other.
    void replaceAbsent(int prize, const std::vector<int>& rows);
    // 重新抽奖: asks first when winners were drawn, No by default.
    void redraw();
    // Enter, 退出: every view closes.
    void exit();
    // 退出 away from the hall's screen asks first.
    void askToExit();
    // The result screen's exit zone: the draw screen shows again.
    void closeResultScreen();
    // A logout, a shutdown or Ctrl+C: the show ends as Enter ends it, with
    // no question left open and every dialog's loop ended.
    void endShow();
    // Shows what the session has to tell, in order.
    void tell();

signals:
    // The show covers another area (a projector plugged in, a mode switched).
    void screenChanged(const QRect& screen);
    // A second screen for the operator: at the start, or plugged in later.
    void consoleWanted();
    // The result screen opens or closes.
    void resultScreen(bool shown);
    void exitRequested();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void replaceNext();

    DrawSession m_session;
    MusicPlayer m_player;
    std::unique_ptr<ScreenFollower> m_follower;
    QBasicTimer m_musicTimer;
    QRect m_screen;
    qsizetype m_screenCount = 0;
    bool m_soundAvailable = true;
    bool m_resultScreen = false;
    bool m_opened = false;
    bool m_closed = false;
    // The rows of a prize still to be replaced, one after the other.
    int m_replacingPrize = -1;
    std::vector<int> m_replacingRows;
};

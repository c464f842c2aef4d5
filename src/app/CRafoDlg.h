#pragma once

#include "app/AudienceFrame.h"
#include "app/DrawScreenMenu.h"
#include "app/DrawScreenPainter.h"
#include "app/DrawSession.h"
#include "app/MusicPlayer.h"
#include "app/TextScroll.h"

#include <QBasicTimer>
#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <memory>

namespace Ui {
class CRafoDlg;
}
class CResultDlg;
class OperatorConsole;
class ScreenFollower;
class TrackerOverlay;

// The full-screen draw screen, the audience's view of the draw session: it
// covers its screen and follows it, turns clicks, keys and menu commands into
// session calls, paints the session's state, plays its sounds, opens the
// dialogs and the operator's console and tells the operator what the
// session has to say.
class CRafoDlg : public QDialog
{
    Q_OBJECT
public:
    // Menu and button commands.
    enum Command
    {
        IdOk = 1,
        IdStart = 1000,
        IdStop = 1001,
        IdEditPosition = 32772,
        IdSetFont = 32774,
        IdHideText = 32776,
        IdEffectFont = 32778,
        IdRedraw = 32780,
        IdEditParticipants = 32782,
        IdSettings = 32784,
        IdConsole = 32786,
        IdAbout = 32794,
        IdExit = 32796
    };
    enum Timer
    {
        CycleTimer = 1,
        CaptionTimer = 2,
        MusicTimer = 3
    };
    static constexpr int CyclePeriodMs = 16;
    static constexpr int CaptionPeriodMs = 200;
    static constexpr int MusicPeriodMs = 100;
    static constexpr const wchar_t* SettingsWarning = L"编辑奖品将删除所有已经抽取数据";
    static constexpr const wchar_t* ReplaceQuestion = L" 缺席, 从未中奖的人中补抽一名?";
    static constexpr const wchar_t* NobodyToReplace = L"没有可以补抽的人";
    static constexpr const wchar_t* ExitQuestion = L"结束抽奖, 退出程序?";
    // Around the number of winners drawn.
    static constexpr const wchar_t* RedrawQuestion[2] = {L"重新抽奖将清除已经抽出的 ",
                                                         L" 名中奖者和全部结果, 确定吗?"};

    explicit CRafoDlg(QWidget* parent = nullptr);
    ~CRafoDlg() override;

    // Loads everything and covers the screen the event names, else the one
    // that is not the primary of two, else the primary, and follows it; with
    // two screens the console opens on the other. With an area given it
    // covers that and follows nothing.
    void OnInitDialog();
    void OnInitDialog(const QRect& screen);
    // The screen the show covers moved or changed size: the window covers it
    // again and the layout is scaled in memory.
    void coverScreen(const QRect& screen);

    void StartDraw();
    void StopDraw();
    void ShowResultScreen();
    void OnCommand(int id);
    void OnTimer(int timer);
    void SetAreaFont(int index);
    // Asks, then gives the winner's row of the prize just drawn to someone who never won.
    void ReplaceAbsentWinner(int row);
    // Space, the start zone and the console's 开始: after the last prize the result screen again.
    void startAction();
    void pageDown();
    void pageUp();
    void setBlackScreen(bool on);
    // A key while the screen is black ends it and does nothing else; "b",
    // "B" and "." black it. True when the key was taken.
    bool takeBlackScreenKey(const QKeyEvent& event);
    // The clicker's keys wherever they arrive (the draw screen, the console):
    // the pages, the black screen, F5. True when the key was taken.
    bool takeClickerKey(const QKeyEvent& event);
    // Opens the operator's console, or brings it to the front.
    void openConsole();
    OperatorConsole* console() const { return m_console.get(); }
    // Dialogs and message boxes open where the operator is: over the console while it is open.
    QWidget* dialogParent();
    // Paints an audience window's frame, shown in the console's preview while it is open.
    void paintAudience(QWidget& target, AudienceFrame& frame, const std::function<void(QPainter&)>& compose);
    bool resultScreenOpen() const { return !m_result.isNull(); }
    // Whether the music can be heard: found once at the start.
    bool soundAvailable() const { return m_soundAvailable; }
    // A logout, a shutdown or Ctrl+C: the show ends as Enter ends it, the
    // results, the journal and the tables written, with no question left
    // open and every dialog closed.
    void endShow();

    DrawSession& session() { return m_session; }
    const DrawEngine& engine() const { return m_session.engine(); }
    const CLottoryArea& area(int index) const { return m_session.areas().area(index); }
    MusicPlayer& player() { return m_player; }
    TextScroll& resultScroll() { return m_resultScroll; }
    const Rect& screenRect() const { return m_screenRect; }
    const Rect& startRect() const { return m_session.zones().start; }
    const Rect& stopRect() const { return m_session.zones().stop; }
    const Rect& exitRect() const { return m_session.zones().exit; }
    int selectedArea() const { return m_session.areas().selected(); }
    AreaEditor::Mode areaMode() const { return m_session.areas().mode(); }
    bool isCycling() const { return m_cycleTimer.isActive(); }

signals:
    // The window covers another area; the result screen follows.
    void screenChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    void openContextMenu(const QPoint& point, const QPoint& globalPos);
    void placeConsole();
    void paintFrame(QPainter& painter);
    void updateCursor(const QPoint& point);
    void refresh();
    // Shows what the session has to tell, in order.
    void tell();
    void OnDestroy();

    std::unique_ptr<Ui::CRafoDlg> m_ui;
    DrawSession m_session;
    Rect m_screenRect;
    TrackerOverlay* m_overlay = nullptr;
    MusicPlayer m_player;
    bool m_soundAvailable = true;
    QIcon m_icon;
    DrawScreenPainter m_painter;
    // It outlives the result screen, so a second opening continues.
    TextScroll m_resultScroll{TextScroll::Axis::Upwards};
    QBasicTimer m_cycleTimer;
    QBasicTimer m_captionTimer;
    QBasicTimer m_musicTimer;
    long long m_cycleStart = -1;
    DrawScreenMenu m_menu;
    std::unique_ptr<ScreenFollower> m_follower;
    std::unique_ptr<OperatorConsole> m_console;
    AudienceFrame m_frame;
    QPointer<CResultDlg> m_result;
    qsizetype m_screenCount = 0;
    bool m_initialised = false;
    bool m_destroyed = false;
};

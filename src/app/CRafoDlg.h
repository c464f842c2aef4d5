#pragma once

#include "app/DrawEngine.h"
#include "app/DrawHost.h"
#include "app/DrawScreenPainter.h"
#include "app/MusicPlayer.h"
#include "app/SummaryScroll.h"
#include "areas/CRectTracker.h"
#include "areas/TextAreas.h"
#include "controls/ParticipantEditorHost.h"
#include "data/DrawJournal.h"
#include "data/PendingSettings.h"
#include "data/PrizeSettingsHost.h"
#include "platform/CodePage.h"

#include <QBasicTimer>
#include <QDialog>
#include <QIcon>
#include <array>
#include <memory>

namespace Ui {
class CRafoDlg;
}
class QMenu;

// The full-screen draw screen: it owns the draw, the text areas, the music
// and the hot zones, turns clicks, keys and menu commands into draw actions,
// and paints what the audience sees.
class CRafoDlg : public QDialog, private DrawHost, private PrizeSettingsHost, private ParticipantEditorHost
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
    static constexpr const wchar_t* InitMusic = L"Music\\Init.mp3";
    static constexpr const wchar_t* SettingsWarning = L"编辑奖品将删除所有已经抽取数据";
    static constexpr const wchar_t* ReplaceEntry = L"补抽缺席: ";
    static constexpr const wchar_t* ReplaceQuestion = L" 缺席, 从未中奖的人中补抽一名?";
    static constexpr const wchar_t* NobodyToReplace = L"没有可以补抽的人";

    explicit CRafoDlg(QWidget* parent = nullptr);
    ~CRafoDlg() override;

    // Loads everything and covers the primary screen (or the given screen area).
    void OnInitDialog();
    void OnInitDialog(const QRect& screen);

    void StartDraw();
    void StopDraw();
    void ShowResultScreen();
    void LoadDrawData();
    void OnCommand(int id);
    void OnTimer(int timer);
    void BuildResultText(tstring& text, unsigned& lines) const;
    void SetAreaFont(CLottoryArea& area, int index);
    // Asks, then gives the winner's row of the prize just drawn to someone who never won.
    void ReplaceAbsentWinner(int row);
    // The winner's row of the prize just drawn under a point of the names area, or -1.
    int replaceableRowAt(const QPoint& point) const;

    DrawEngine& engine() { return m_engine; }
    const CLottoryArea& area(int index) const { return *m_areas[static_cast<size_t>(index)]; }
    MusicPlayer& player() { return m_player; }
    SummaryScroll& resultScroll() { return m_resultScroll; }
    const Rect& screenRect() const { return m_screenRect; }
    const Rect& startRect() const { return m_startRect; }
    const Rect& stopRect() const { return m_stopRect; }
    const Rect& exitRect() const { return m_exitRect; }
    int selectedArea() const { return m_selectedArea; }
    int areaMode() const { return m_areaMode; }
    bool isCycling() const { return m_cycleTimer.isActive(); }
    QMenu* contextMenu() const { return m_menu; }
    const CRectTracker& tracker() const { return m_tracker; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    void playMusic(const tstring& path, int mode) override;
    void startCycleTimer() override;
    void stopCycleTimer() override;
    void repaintAll() override;
    void showResultScreen() override;
    void exportResults() override;
    void storeResults() override;
    void recordDraw(const DrawRecord& record) override;
    // The list as read: its size and the digest it was kept under.
    void journalStart(const char* reason, std::size_t participants, const QString& participantsDigest);

    const std::vector<AwardItem>& awards() const override;
    void appendPrize(const AwardItem& item) override;
    void removePrize(int index) override;
    bool canMovePrize(int from, int to) const override;
    void movePrize(int from, int to) override;
    void changePrize(int index, const AwardItem& item) override;
    CLottoryArea& textArea(int index) override;
    void titlesChanged() override;
    // Saves the table at once; the result store follows it, so a restart
    // finds every winner with the prize it belongs to.
    void prizeTableChanged();
    // Writes what "AwardInfo.ini" is owed; false when it could not be written.
    bool writeSettings();
    // A store that could not be written is recorded in the journal.
    void keepResults(bool atExit = false);

    TextEncoding participantEncoding() const override { return m_participantEncoding; }
    void reloadAfterParticipantEdit() override;
    void restartDraw(const char* reason);

    void buildContextMenu();
    void startAction();
    int areaAt(const QPoint& point) const;
    bool editingPosition() const;
    void setAreaMode(int mode);
    void updateCursor(const QPoint& point);
    void leftClickWhileEditing(const QPoint& point);
    void saveEditedLayouts();
    void OnDestroy();

    std::unique_ptr<Ui::CRafoDlg> m_ui;
    Rect m_screenRect;
    DrawEngine m_engine{*this};
    int m_selectedArea = -1;
    AreaSet m_areas;
    int m_areaMode = -1;
    CRectTracker m_tracker;
    // What "AwardInfo.ini" does not hold yet, so only real changes are
    // written and a failed write goes in with the next one.
    PendingSettings m_settings;
    bool m_layoutSavePending = false;
    // The export failed; it is tried again at exit.
    bool m_exportOwed = false;
    DrawJournal m_journal;
    MusicPlayer m_player;
    Rect m_exitRect;
    QIcon m_icon;
    Rect m_startRect;
    Rect m_stopRect;
    DrawScreenPainter m_painter;
    SummaryScroll m_resultScroll;
    TextEncoding m_participantEncoding = TextEncoding::Ansi;
    QBasicTimer m_cycleTimer;
    QBasicTimer m_captionTimer;
    QBasicTimer m_musicTimer;
    long long m_cycleStart = -1;
    QMenu* m_menu = nullptr;
    bool m_initialised = false;
    bool m_destroyed = false;
};

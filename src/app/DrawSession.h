#pragma once

#include "app/CheckinDesk.h"
#include "app/DrawEngine.h"
#include "app/DrawLanding.h"
#include "app/DrawWorker.h"
#include "app/OperatorNotices.h"
#include "app/PrizeRanges.h"
#include "app/ResultScreenParts.h"
#include "app/WallPager.h"
#include "app/WinnerReveal.h"
#include "app/WinnerWall.h"
#include "app/WinnersLedger.h"
#include "app/WitnessDesk.h"
#include "areas/AreaEditor.h"
#include "controls/ParticipantEditorHost.h"
#include "data/DrawJournal.h"
#include "data/PrizeSettingsHost.h"
#include "data/ResultStore.h"
#include "data/WinnersTable.h"
#include "platform/CodePage.h"

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One draw of one event folder, whatever views show it: the engine, the
// text areas, the journal and the files. Views call the operations, paint
// from the state and tell the operator what the notices say; the session
// says through its signals what changed, which sound to play and when the
// result screen opens.
class DrawSession : public QObject, public PrizeSettingsHost, public ParticipantEditorHost
{
    Q_OBJECT
public:
    static constexpr const wchar_t* InitMusic = L"Music\\Init.mp3";
    static constexpr const wchar_t* StartMusic = L"Music\\start.mp3";
    static constexpr const wchar_t* StopSound = L"Music\\stop.wav";
    static constexpr const wchar_t* PoolEmptyMessage = L"剩余抽奖人数为0";
    static constexpr const wchar_t* AllRemainingWinMessage = L"奖项多余抽奖人数,剩余的人奖全部中奖";
    static constexpr const wchar_t* JournalFailure = L"无法写入抽奖记录:";
    static constexpr const wchar_t* WinnersTableFailure = L"无法写入文件:Result.csv, Result.xlsx";

    // What the operator must be told after an operation; an empty caption
    // stands for the application's name. A failure that stays is told once.
    using Notice = OperatorNotices::Notice;

    // The draw of the event in that folder.
    explicit DrawSession(EventFolder folder, QObject* parent = nullptr);

    // Start-up on a screen of that size: the text areas, the draw data, the
    // layout scaled to the screen, the stored results, the journal's start.
    void open(int screenWidth, int screenHeight);
    // The screen the show covers changed size after the start; nothing is written.
    void followScreen(int screenWidth, int screenHeight);
    // Space and the start zone: after the last prize the result screen again.
    void startAction();
    DrawEngine::StartOutcome start();
    // The winners are picked, journalled and stored off the GUI thread while
    // the names go on cycling; then they land: the views hear of them
    // (cycleStopped, prizeDrawn). A press while they land does nothing.
    void stop();
    // The same for a replacement; Replaced when one is on its way.
    DrawEngine::ReplaceResult replace(int row) { return replace(m_engine.current(), row); }
    // The same for a winner of any prize drawn so far; the screen keeps its wall.
    DrawEngine::ReplaceResult replace(int prize, int row);
    // Whether a stop, a replacement or the result screen's entry is on its way.
    bool landing() const { return m_worker.busy(); }
    // Waits for it and lands it now.
    void settle() { m_worker.settle(); }
    // That, and the prize desk's table written: the event's files at rest.
    void finishWrites()
    {
        m_worker.settle();
        m_ledger.finish();
    }
    // The draw afresh from the files (重新抽奖, a participant edit); the
    // store says so at once, so a restart after a crash does not bring back
    // the winners the operator chose to drop.
    void restart(const char* reason);
    // Its journal line and the store are written, and what it shows made
    // ready, off the GUI thread; then resultScreenRequested.
    void openResultScreen();
    // What the result screen shows now, taken from the session: made ready
    // before it was requested, or else made now.
    std::shared_ptr<ResultScreenParts> takeResultScreenParts();
    // The summary appended to "Result.txt"; a failure is told once and the
    // export tried again at exit.
    void exportResults();
    // The result store as the exit writes it, after every change of the
    // winners, so a crash loses none; a failure is recorded in the journal.
    void storeResults(bool atExit = false);
    // The exit: what the files are owed, the store, a failed export again.
    void close();

    // Where the cycling names start on this tick.
    long long nextCycleStart();
    // The winner's row of the prize just drawn under a point of the names
    // area, on the page shown, when that winner can be replaced now; -1 otherwise.
    int replaceableRowAt(int x, int y) const;

    // What the names area shows now: the winners of the prize just drawn, or
    // while names cycle the grid they will fill. Every view turns the same pages.
    const WinnerWall& wall() const { return m_pager.wall(); }
    int page() const { return m_pager.page(); }
    // The clicker's keys: the next page, or on the last (once it has been
    // seen for a second) what Space does; the page before.
    void pageDown();
    void pageUp()
    {
        if (!m_engine.running())
            m_pager.previous();
    }
    // The page timer's turn: the pages go round.
    void turnPage() { m_pager.turn(); }
    // The operator moved, resized or re-fonted a text area: the names area's
    // wall is laid out again when it was that one.
    void areaEdited(int area);

    const EventFolder& folder() const override { return m_folder; }
    const DrawEngine& engine() const { return m_engine; }
    AreaEditor& areas() { return m_areas; }
    const AreaEditor& areas() const { return m_areas; }
    const HotZones& zones() const { return m_zones; }
    // The journal line of the last stop or replacement as the audience sees
    // it, XXXX-XXXX-XXXX-XXXX; empty when there is none or the event hides it.
    QString fingerprint() const { return m_showFingerprint ? m_fingerprint : QString(); }
    // The same for the operator, whether the audience sees it or not.
    const QString& journalFingerprint() const { return m_fingerprint; }
    // The result screen's own journal line, which chains every draw before it.
    QString resultFingerprint() const { return m_showFingerprint ? m_resultFingerprint : QString(); }
    bool keepsPictureAspect() const { return m_keepPictureAspect; }
    // Whether winners land with a burst of confetti ([Show] Effects).
    bool showsEffects() const { return m_effects; }
    std::vector<Notice> takeNotices() { return m_notices.take(); }
    // Calls `refresh` in `context` after every change a view shows.
    void onAnyChange(QObject* context, const std::function<void()>& refresh);
    // The black screen a clicker's "b" asks for hides everything; the draw stays as it is.
    bool blackedOut() const { return m_blackedOut; }
    void setBlackedOut(bool on)
    {
        if (on == m_blackedOut)
            return;
        m_blackedOut = on;
        emit blackoutChanged(on);
    }
    // The prize desk's table as it stands: every winner of the finished
    // prizes, then each prize's absent winners.
    std::vector<WinnerRow> winnerRows() const { return m_ledger.rows(); }
    // Who won what by which journal line, and who gave way.
    const WinnersLedger& ledger() const { return m_ledger; }

    // The witnessed draw ([Draw] Rule=rafo-2): the commitment shown while
    // names cycle, the hall's digits and the secret a stop revealed.
    const WitnessDesk& witness() const { return m_witness; }
    // Whether the names cycle under a witnessed draw: Enter must not end the show then.
    bool witnessing() const { return m_witness.enabled() && m_engine.running(); }
    // A digit the hall rolled, or Backspace; false when it does not count now.
    bool typeWitnessDigit(QChar digit);
    bool eraseWitnessDigit();

    // A prize shown one winner at a time: how many of its winners show now (all of any other's).
    const WinnerReveal& reveal() const { return m_reveal; }
    int shownWinners(int prize) const
    {
        return m_reveal.shown(prize, static_cast<int>(m_engine.award(prize).winners.size()));
    }
    // The landing of a winner shown one at a time ends now.
    void settleReveal() { m_reveal.settle(); }

    // Check-in: who is in the hall, and a draw among them ("已签到").
    CheckinDesk& checkinDesk() { return m_checkinDesk; }
    const CheckinDesk& checkinDesk() const { return m_checkinDesk; }
    // What the excluded lists of the prize being drawn, or else of the next,
    // do to the pool: how many each takes out, and their lines that match
    // several names. Empty when that prize excludes no list.
    const QString& exclusionReport() const { return m_exclusionReport; }
    // Whether the last write of the journal and of the result store went through.
    bool journalWritten() const { return m_journalWritten; }
    bool storeWritten() const { return m_storeWritten; }

    // The title and prize dialogs.
    const std::vector<AwardItem>& awards() const override { return m_engine.awards(); }
    void appendPrize(const AwardItem& item) override;
    void removePrize(int index) override;
    bool canMovePrize(int from, int to) const override { return m_engine.canMovePrize(from, to); }
    void movePrize(int from, int to) override;
    void changePrize(int index, const AwardItem& item) override;
    CLottoryArea& textArea(int index) override { return m_areas.area(index); }
    void titlesChanged() override;

    // The participant editor.
    TextEncoding participantEncoding() const override { return m_participantEncoding; }
    void participantFieldsImported(const QStringList& fields) override;
    void reloadAfterParticipantEdit() override;

signals:
    // What changed, for the views to show: each says what it is about.
    void cycleStarted();
    void cycleStopped();
    void prizeDrawn(int prize);
    void winnerReplaced(int prize, int row);
    // The draw started afresh: "launch" when the show opened, "redraw", "participants edited".
    void restarted(const QString& reason);
    void participantsChanged();
    void prizesChanged();
    // The texts, the layout or the screen's size.
    void layoutChanged();
    void pageChanged(int page, int pages);
    void blackoutChanged(bool on);
    // There is something to tell the operator (takeNotices).
    void noticesAdded();
    void soundRequested(const QString& path, int mode);
    // A commitment was shown, a digit typed, a stop refused or a secret revealed.
    void witnessChanged();
    // A winner of a prize shown one at a time began to land, or landed.
    void revealChanged(int prize);
    void resultScreenRequested();

private:
    void landStop(DrawLanding& landing);
    void landReplace(DrawLanding& landing);
    // What the worker wrote: the notices and flags of its journal line and store.
    void landKept(const DrawLanding& landing);
    void showWall(DrawLanding& landing, bool keepPage);
    void exported(bool written);
    void loadDrawData();
    // The table is saved at once and the result store follows it, so a
    // restart finds every winner with the prize it belongs to.
    void prizeTableChanged();
    // Any entry; its fingerprint when it is on disk now.
    void journal(const QJsonObject& entry, QString* fingerprint = nullptr);
    void journalStart(const char* reason, std::size_t participants, const QString& participantsDigest);
    void checkListsKept();
    void journalWritten(bool written);
    void tableWritten(bool written);
    // The winners shown changed: the wall is laid out again, on its first
    // page unless `keepPage`, and its timer starts when there are pages.
    void winnersChanged(bool keepPage);
    void playFor(int prize, bool start);
    // A digit typed or erased tells the views.
    bool witnessTyped(bool changed);
    // The prize's range made ready to draw: parsed, its files read and kept
    // beside the journal. False when it cannot be, or when it admits nobody
    // left in the pool, and the operator is told why.
    bool prepareScope(int prize, DrawScope& scope);
    // Every range still to be drawn, at the start and after every change of
    // the prize table or the list, so a bad one is told on the operator's side
    // before its prize comes up; what was told at the last check is not told again.
    void checkRanges();
    void reportExclusions();
    // Under rafo-2: the start's commitment, made and journalled off the GUI thread before it is shown.
    void commit(int prize, DrawScope scope);

    const EventFolder m_folder;
    DrawEngine m_engine;
    AreaEditor m_areas;
    DrawJournal m_journal;
    HotZones m_zones;
    TextEncoding m_participantEncoding = TextEncoding::Ansi;
    OperatorNotices m_notices{[this] { emit noticesAdded(); }};
    QString m_fingerprint;
    QString m_resultFingerprint;
    bool m_showFingerprint = true;
    bool m_keepPictureAspect = false;
    bool m_effects = true;
    bool m_journalWritten = true;
    bool m_storeWritten = true;
    bool m_blackedOut = false;
    // The export failed; it is tried again at exit.
    bool m_exportOwed = false;

    int m_screenWidth = 1920;
    int m_screenHeight = 1080;
    std::shared_ptr<ResultScreenParts> m_resultScreen;
    WallPager m_pager;
    PrizeRanges m_ranges;
    QString m_exclusionReport;
    WinnersLedger m_ledger;
    CheckinDesk m_checkinDesk;
    WitnessDesk m_witness;
    WinnerReveal m_reveal;
    // Counts the changes of the names area since the start, so a wall laid
    // out on the worker for an area that has changed since is laid out again.
    int m_layoutChanges = 0;
    // Last, so its work ends before the rest goes.
    DrawWorker m_worker;
};

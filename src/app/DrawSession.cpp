#include "app/DrawSession.h"

#include "app/MusicPlayer.h"
#include "app/PrizeRanges.h"
#include "areas/AreaFont.h"
#include "data/DrawData.h"
#include "data/JournalEntry.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"
#include "data/WinnersTable.h"
#include "data/WriteFailures.h"
#include "platform/Clock.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>

DrawSession::DrawSession(EventFolder folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_areas(m_folder), m_journal(m_folder),
      m_ranges(m_folder), m_ledger(m_folder), m_checkinDesk(m_folder,
                                                            [this](const QJsonObject& entry) {
                                                                // After a stop on its way: its line and the
                                                                // check-ins stay in the order the draw saw
                                                                // them.
                                                                m_worker.settle();
                                                                journal(entry);
                                                            }),
      m_witness(m_folder)
{
    connect(&m_pager, &WallPager::pageChanged, this, &DrawSession::pageChanged);
    connect(&m_reveal, &WinnerReveal::changed, this, &DrawSession::revealChanged);
}

void DrawSession::open(int screenWidth, int screenHeight)
{
    if (!m_journal.open())
        journalWritten(false);
    m_areas.load();
    m_showFingerprint = ShowsFingerprint(m_folder);
    m_keepPictureAspect = KeepsPictureAspect(m_folder);
    m_effects = ShowsEffects(m_folder);
    m_pager.setGrow(GrowsWinners(m_folder));
    m_fingerprint = m_journal.lastDrawFingerprint();
    loadDrawData();
    // The list as read is kept before the restore takes the winners out; a
    // million names are not copied for it.
    const std::size_t participants = m_engine.pool().size();
    const QString participantsDigest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    m_zones = m_areas.scaleToScreen(screenWidth, screenHeight);
    m_screenWidth = screenWidth;
    m_screenHeight = screenHeight;
    m_pager.setSeconds(PageSeconds(m_folder));
    RestoreResults(m_folder, m_engine);
    tableWritten(m_ledger.rebuild(m_journal.history(), m_engine));
    m_checkinDesk.open([this] { return m_engine.everyLine(); }, m_journal.checkins());
    if (const std::optional<std::wstring> problem = m_witness.open(m_journal, m_engine))
        m_notices.tell(*problem, L"消息");
    journalStart("launch", participants, participantsDigest);
    checkRanges();
    winnersChanged(false);
    emit restarted(QStringLiteral("launch"));
}

void DrawSession::followScreen(int screenWidth, int screenHeight)
{
    if (screenWidth <= 0 || screenHeight <= 0)
        return;
    m_zones = m_areas.followScreen(screenWidth, screenHeight);
    ++m_layoutChanges;
    m_screenWidth = screenWidth;
    m_screenHeight = screenHeight;
    // The wall is laid out again for the new area; its page stays where it can.
    winnersChanged(true);
    emit layoutChanged();
}

void DrawSession::startAction()
{
    // A prize shown one at a time brings its next winner first.
    if (m_reveal.pending(m_engine.current()) && !m_engine.running())
        m_reveal.next();
    else if (m_engine.current() >= m_engine.prizeCount())
        openResultScreen();
    else
        start();
}

DrawEngine::StartOutcome DrawSession::start()
{
    if (m_worker.busy())
        return DrawEngine::StartOutcome::Ignored;
    // A range that cannot be applied is told before the names run, not at the stop.
    DrawScope scope;
    const int next = m_engine.current() + 1;
    if (!m_engine.running() && next >= 0 && next < m_engine.prizeCount() && !prepareScope(next, scope))
        return DrawEngine::StartOutcome::Ignored;
    const DrawEngine::StartOutcome outcome = m_engine.StartDraw();
    if (outcome == DrawEngine::StartOutcome::Ignored)
        return outcome;
    playFor(m_engine.current(), true);
    if (outcome == DrawEngine::StartOutcome::ResultScreen) {
        openResultScreen();
        return outcome;
    }
    winnersChanged(false);
    m_reveal.clear();
    m_exclusionReport = PrizeRanges::exclusionReport(m_engine.award(next), scope, m_engine.pool());
    m_witness.clear();
    m_witness.readSettings();
    if (m_witness.enabled())
        commit(next, std::move(scope));
    emit cycleStarted();
    emit witnessChanged();
    return outcome;
}

void DrawSession::commit(int prize, DrawScope scope)
{
    m_witness.committing(prize);
    auto commit = std::make_shared<WitnessDesk::Commit>();
    commit->prize = prize;
    commit->scope = std::make_shared<DrawScope>(std::move(scope));
    const long long count = std::max(m_engine.award(prize).winnerCount, 0);
    auto journalled = std::make_shared<bool>(true);
    m_worker.run(
        [this, commit, count, journalled] {
            *journalled = WitnessDesk::make(*commit, m_engine.pool(), count, m_journal);
        },
        [this, commit, journalled] {
            journalWritten(*journalled);
            checkListsKept();
            m_witness.committed(*commit);
            emit witnessChanged();
        });
}

bool DrawSession::typeWitnessDigit(QChar digit)
{
    return witnessTyped(m_engine.running() && m_witness.type(digit));
}

bool DrawSession::eraseWitnessDigit()
{
    return witnessTyped(m_engine.running() && m_witness.erase());
}

bool DrawSession::witnessTyped(bool changed)
{
    if (changed)
        emit witnessChanged();
    return changed;
}

void DrawSession::stop()
{
    if (m_worker.busy() || !m_engine.running())
        return;
    // The hall's digits decide, with the secret committed to before they were rolled.
    const std::optional<DrawRecord> sealed = m_witness.sealed(m_engine.current());
    if (sealed && m_witness.refuse()) {
        emit witnessChanged();
        return;
    }
    // A witnessed draw's range was applied at its commitment; another's is read
    // again at the stop, as it may have been edited while the names ran.
    const std::shared_ptr<DrawScope> scope =
        sealed ? m_witness.commit()->scope : std::make_shared<DrawScope>();
    if (!sealed && m_engine.isCurrentPrize() && !prepareScope(m_engine.current(), *scope))
        return;
    auto landing = std::make_shared<DrawLanding>(m_areas, m_screenHeight, m_layoutChanges, m_pager.grows());
    m_worker.run(
        [this, landing, scope, sealed, seed = sealed ? sealed->seed : DrawSeed::fresh()] {
            landing->drawing = m_engine.planStop(seed, scope.get());
            DrawRecord& record = landing->drawing.record;
            if (sealed && landing->drawing.outcome == DrawEngine::StopOutcome::Drawn)
                WitnessDesk::seal(record, *sealed);
            if (landing->drawing.outcome != DrawEngine::StopOutcome::Ignored)
                landing->keepDrawn(m_journal, m_engine, m_folder, m_participantEncoding,
                                   JournalEntry::stop(record, m_engine.award(record.prize)));
        },
        [this, landing] { landStop(*landing); });
}

DrawEngine::ReplaceResult DrawSession::replace(int prize, int row)
{
    if (m_worker.busy() || !m_engine.canReplace(prize, row))
        return DrawEngine::NothingToReplace;
    // A witnessed prize's replacements were fixed at its reveal: they pick
    // among what its commitment admitted and re-read nothing.
    const std::shared_ptr<const WitnessStream> stream = m_engine.award(prize).witness;
    auto candidates = std::make_shared<std::vector<std::size_t>>();
    auto scope = std::make_shared<DrawScope>();
    if (stream) {
        if (const QString problem = WitnessDesk::candidates(m_folder, m_engine, *stream, *candidates);
            !problem.isEmpty()) {
            m_notices.tell(problem.toStdWString(), L"消息");
            return DrawEngine::NothingToReplace;
        }
        if (candidates->empty())
            return DrawEngine::PoolEmpty;
    } else {
        if (!prepareScope(prize, *scope))
            return DrawEngine::NothingToReplace;
        if (m_engine.pool().empty() ||
            (!scope->admitsEveryone() && !DrawEngine::anyAdmitted(m_engine.pool(), *scope)))
            return DrawEngine::PoolEmpty;
    }
    auto landing = std::make_shared<DrawLanding>(m_areas, m_screenHeight, m_layoutChanges, m_pager.grows());
    landing->absent = m_engine.award(prize).winners[static_cast<size_t>(row)];
    m_worker.run(
        [this, landing, scope, stream, candidates, prize, row, seed = DrawSeed::fresh()] {
            landing->drawing = stream ? m_engine.planReplace(prize, row, *stream, *candidates)
                                      : m_engine.planReplace(prize, row, seed, scope.get());
            const DrawRecord& record = landing->drawing.record;
            landing->keepDrawn(
                m_journal, m_engine, m_folder, m_participantEncoding,
                JournalEntry::replace(record, row, landing->absent, m_engine.award(record.prize)));
        },
        [this, landing] { landReplace(*landing); });
    return DrawEngine::Replaced;
}

void DrawSession::landStop(DrawLanding& landing)
{
    const DrawRecord record = landing.drawing.record;
    const DrawEngine::StopOutcome outcome = landing.drawing.outcome;
    m_engine.land(std::move(landing.drawing));
    if (record.witnessed)
        m_witness.reveal();
    else
        m_witness.clear();
    emit cycleStopped();
    emit witnessChanged();
    if (outcome == DrawEngine::StopOutcome::Ignored)
        return;
    playFor(record.prize, false);
    // Within a range that admits no more than the prize's count the count line says so; the pool may be far
    // larger.
    if (outcome == DrawEngine::StopOutcome::AllRemaining && record.admitted < 0)
        m_notices.tell(AllRemainingWinMessage);
    landKept(landing);
    tableWritten(m_ledger.note(record, m_engine, m_fingerprint, Clock::now()));
    reportExclusions();
    showWall(landing, false);
    if (m_engine.award(record.prize).reveal && outcome != DrawEngine::StopOutcome::EmptyPool &&
        m_pager.wall().mode() == WinnerWall::Mode::OneColumn)
        m_reveal.begin(record.prize, static_cast<int>(record.winners.size()));
    emit prizeDrawn(record.prize);
    if (outcome == DrawEngine::StopOutcome::EmptyPool)
        m_notices.tell(PoolEmptyMessage);
    else if (landing.exportTried)
        exported(landing.exported);
}

void DrawSession::landReplace(DrawLanding& landing)
{
    const DrawRecord record = landing.drawing.record;
    const int row = landing.drawing.row;
    // An earlier prize's winner is replaced at the desk: the hall hears and sees the prize it has.
    const bool shown = record.prize == m_engine.current();
    m_engine.land(std::move(landing.drawing));
    if (shown)
        playFor(record.prize, false);
    landKept(landing);
    tableWritten(m_ledger.note(record, m_engine, m_fingerprint, Clock::now(), landing.absent));
    // The export's last block is the final result.
    if (landing.exportTried)
        exported(landing.exported);
    reportExclusions();
    if (shown)
        showWall(landing, true);
    emit winnerReplaced(record.prize, row);
}

void DrawSession::landKept(const DrawLanding& landing)
{
    journalWritten(landing.journalled);
    m_fingerprint = landing.fingerprint;
    m_storeWritten = landing.stored;
}

void DrawSession::showWall(DrawLanding& landing, bool keepPage)
{
    if (landing.layoutChanges == m_layoutChanges)
        m_pager.install(std::move(landing.wall), keepPage);
    else
        winnersChanged(keepPage);
}

void DrawSession::restart(const char* reason)
{
    m_worker.settle();
    m_resultFingerprint.clear();
    m_witness.clear();
    m_reveal.clear();
    emit witnessChanged();
    loadDrawData();
    storeResults();
    const QString digest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    journalStart(reason, m_engine.pool().size(), digest);
    // A draw started afresh has no winners yet.
    tableWritten(m_ledger.clear(m_engine));
    m_checkinDesk.setParticipants([this] { return m_engine.everyLine(); });
    checkRanges();
    winnersChanged(false);
    emit restarted(QString::fromLatin1(reason));
}

void DrawSession::openResultScreen()
{
    if (m_worker.busy())
        return;
    auto landing = std::make_shared<DrawLanding>();
    m_worker.run(
        [this, landing,
         inputs = ResultScreenParts::inputsOf(m_areas, m_screenWidth, m_screenHeight, m_zones.exit)] {
            // Its line chains every draw before it: one photograph of it seals them all.
            landing->journalled = m_journal.append(JournalEntry::resultScreen(), &landing->resultFingerprint);
            // The store says what the journal says, whether the show ends with Enter or a kill.
            landing->keepStored(m_journal, m_folder, StoredDraw::of(m_engine));
            landing->resultScreen = ResultScreenParts::make(m_folder, inputs, m_engine.awards());
        },
        [this, landing] {
            landKept(*landing);
            m_resultFingerprint = landing->resultFingerprint;
            m_resultScreen = std::move(landing->resultScreen);
            emit resultScreenRequested();
        });
}

std::shared_ptr<ResultScreenParts> DrawSession::takeResultScreenParts()
{
    if (!m_resultScreen)
        return ResultScreenParts::make(
            m_folder, ResultScreenParts::inputsOf(m_areas, m_screenWidth, m_screenHeight, m_zones.exit),
            m_engine.awards());
    return std::exchange(m_resultScreen, nullptr);
}

void DrawSession::close()
{
    m_checkinDesk.flush();
    m_worker.settle();
    tableWritten(m_ledger.finish());
    m_areas.finish();
    storeResults(true);
    if (m_exportOwed)
        exportResults();
    journal(JournalEntry::exit());
}

long long DrawSession::nextCycleStart()
{
    return m_engine.nextCycleStart();
}

int DrawSession::replaceableRowAt(int x, int y) const
{
    if (!m_engine.isCurrentPrize() || m_engine.running())
        return -1;
    const int row = m_pager.wall().indexAt(m_pager.page(), x, y);
    return m_engine.canReplace(row) ? row : -1;
}

void DrawSession::areaEdited(int area)
{
    if (area == AreaScroll) {
        ++m_layoutChanges;
        winnersChanged(true);
    }
    emit layoutChanged();
}

void DrawSession::winnersChanged(bool keepPage)
{
    m_pager.layOut(m_areas.area(AreaScroll), m_screenHeight, m_engine, keepPage);
}

void DrawSession::pageDown()
{
    const bool wallShown = m_engine.isCurrentPrize() && !m_engine.running();
    if (m_engine.running())
        stop();
    else if (m_reveal.pending(m_engine.current()))
        m_reveal.next();
    else if (!wallShown || (!m_pager.next() && m_pager.lastPageSeen()))
        startAction();
}

void DrawSession::onAnyChange(QObject* context, const std::function<void()>& refresh)
{
    connect(this, &DrawSession::cycleStarted, context, refresh);
    connect(this, &DrawSession::cycleStopped, context, refresh);
    connect(this, &DrawSession::prizeDrawn, context, refresh);
    connect(this, &DrawSession::winnerReplaced, context, refresh);
    connect(this, &DrawSession::restarted, context, refresh);
    connect(this, &DrawSession::participantsChanged, context, refresh);
    connect(this, &DrawSession::prizesChanged, context, refresh);
    connect(this, &DrawSession::layoutChanged, context, refresh);
    connect(this, &DrawSession::pageChanged, context, refresh);
    connect(this, &DrawSession::blackoutChanged, context, refresh);
    connect(this, &DrawSession::resultScreenRequested, context, refresh);
    connect(this, &DrawSession::witnessChanged, context, refresh);
    connect(this, &DrawSession::revealChanged, context, refresh);
}

void DrawSession::appendPrize(const AwardItem& item)
{
    m_worker.settle();
    m_engine.appendPrize(item);
    prizeTableChanged();
}

void DrawSession::removePrize(int index)
{
    m_worker.settle();
    if (m_engine.removePrize(index)) {
        m_witness.clear();
        emit cycleStopped();
        emit witnessChanged();
    }
    prizeTableChanged();
}

void DrawSession::movePrize(int from, int to)
{
    m_worker.settle();
    m_engine.movePrize(from, to);
    prizeTableChanged();
}

void DrawSession::changePrize(int index, const AwardItem& item)
{
    m_worker.settle();
    if (index < 0 || index >= m_engine.prizeCount())
        return;
    m_engine.changePrize(index, item);
    prizeTableChanged();
}

void DrawSession::titlesChanged()
{
    m_worker.settle();
    m_areas.settings().titlesChanged();
    m_areas.writeSettings();
    emit layoutChanged();
}

void DrawSession::participantFieldsImported(const QStringList& fields)
{
    m_worker.settle();
    m_areas.settings().fieldsChanged(fields.join(QLatin1Char(' ')).toStdWString());
}

void DrawSession::reloadAfterParticipantEdit()
{
    m_worker.settle();
    m_areas.reload();
    restart("participants edited");
    emit participantsChanged();
}

// A prize table the file could not take yet is the one the show goes on with.
void DrawSession::loadDrawData()
{
    emit cycleStopped();
    m_areas.writeSettings();
    if (!LoadDrawData(m_folder, m_engine, m_participantEncoding))
        m_notices.tell(ParticipantFileError);
    else if (const auto& owed = m_areas.settings().owedPrizes())
        m_engine.setPrizes(*owed, -1);
    const auto& owedFields = m_areas.settings().owedFields();
    m_ledger.setFieldNames(
        owedFields ? QString::fromStdWString(*owedFields).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                   : ParticipantFields(m_folder));
}

void DrawSession::prizeTableChanged()
{
    // The prizes may have moved: every winner shows.
    m_reveal.clear();
    journal(JournalEntry::prizes(m_engine.awards(), m_engine.current(), m_engine.running()));
    m_areas.settings().prizesChanged(m_engine.awards());
    m_areas.writeSettings();
    // The operator was told the drawn data goes; what is stored is this table's now.
    m_engine.storeAfresh();
    storeResults();
    // The prize desk's table names the prizes as the table now does.
    tableWritten(m_ledger.follow(m_engine));
    checkRanges();
    winnersChanged(true);
    emit prizesChanged();
}

// A failed store has been told by the INI access; the journal records it.
// The exit stores even where the stops did not (a missing store is told then).
void DrawSession::storeResults(bool atExit)
{
    m_worker.settle();
    const bool stored = atExit ? SaveResults(m_folder, m_engine) : KeepResults(m_folder, m_engine);
    m_storeWritten = stored || !ResultStoreExists(m_folder);
    if (!stored && ResultStoreExists(m_folder))
        journal(JournalEntry::storeFailed(QStringLiteral("AwardResult.ini")));
}

void DrawSession::exportResults()
{
    m_worker.settle();
    exported(ExportResults(m_folder, m_areas.area(AreaMainTitle).m_titleName,
                           m_areas.area(AreaSubTitle).m_titleName, m_engine.awards(), m_participantEncoding));
}

void DrawSession::exported(bool written)
{
    m_exportOwed = !written;
    m_notices.told(written, m_folder.file(QStringLiteral("Result.txt")), ResultExportFailure);
}

void DrawSession::journal(const QJsonObject& entry, QString* fingerprint)
{
    journalWritten(m_journal.append(entry, fingerprint));
    // What the audience's photos fix: a draw not on disk yet shows none, and
    // shows once a later entry has written it.
    m_fingerprint = m_journal.lastDrawFingerprint();
}

void DrawSession::checkListsKept()
{
    if (!m_journal.listsKept())
        journalWritten(false);
}

void DrawSession::journalWritten(bool written)
{
    m_journalWritten = written;
    m_notices.told(written, m_folder.file(QString::fromLatin1(DrawJournal::FileName)),
                   JournalFailure + QDir::toNativeSeparators(DrawJournal::FileName).toStdWString(), L"消息");
}

void DrawSession::tableWritten(bool written)
{
    m_notices.told(written, m_folder.file(QString::fromLatin1(WinnersTable::CsvFile)), WinnersTableFailure);
}

// The pool as it was built, the prize table, and what the result store gave back.
void DrawSession::journalStart(const char* reason, std::size_t participants,
                               const QString& participantsDigest)
{
    journal(JournalEntry::start(JournalEntry::startOf(
        m_engine, QString::fromLatin1(reason), static_cast<qint64>(participants), participantsDigest)));
}

void DrawSession::playFor(int prize, bool start)
{
    emit soundRequested(PrizeSound(m_folder, m_engine, prize, start, start ? StartMusic : StopSound),
                        start ? MusicPlayer::PlayLoop : MusicPlayer::PlayOnce);
}

bool DrawSession::prepareScope(int prize, DrawScope& scope)
{
    // The lines checked in now: those journalled before the stop's line.
    scope.setCheckedIn(m_checkinDesk.book().snapshot());
    const std::optional<std::wstring> problem = m_ranges.prepare(
        m_engine.award(prize), m_engine.pool(), scope, [this](const std::vector<tstring>& list) {
            const QString digest = m_journal.keepList(list);
            checkListsKept();
            return digest;
        });
    if (problem)
        m_notices.tell(*problem, L"消息");
    return !problem;
}

void DrawSession::checkRanges()
{
    const std::wstring problems = m_ranges.check(m_engine);
    if (!problems.empty())
        m_notices.tell(problems, L"消息");
    reportExclusions();
}

void DrawSession::reportExclusions()
{
    m_exclusionReport = m_ranges.exclusionReport(m_engine);
}

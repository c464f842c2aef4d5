#include "app/DrawSession.h"

#include "app/MusicPlayer.h"
#include "app/PoolDigest.h"
#include "app/PrizeRanges.h"
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
      m_ranges(m_folder), m_ledger(m_folder)
{
    connect(&m_pager, &WallPager::pageChanged, this, &DrawSession::pageChanged);
}

void DrawSession::open(int screenWidth, int screenHeight)
{
    if (!m_journal.open())
        journalWritten(false);
    m_areas.load();
    m_showFingerprint = ShowsFingerprint(m_folder);
    m_fingerprint = m_journal.lastDrawFingerprint();
    loadDrawData();
    // The list as read is kept before the restore takes the winners out; a
    // million names are not copied for it.
    const std::size_t participants = m_engine.pool().size();
    const QString participantsDigest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    m_zones = m_areas.scaleToScreen(screenWidth, screenHeight);
    m_screenHeight = screenHeight;
    m_pager.setSeconds(PageSeconds(m_folder));
    RestoreResults(m_folder, m_engine);
    tableWritten(m_ledger.rebuild(m_journal.history(), m_engine));
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
    m_screenHeight = screenHeight;
    // The wall is laid out again for the new area; its page stays where it can.
    winnersChanged(true);
    emit layoutChanged();
}

void DrawSession::setBlackedOut(bool on)
{
    if (on == m_blackedOut)
        return;
    m_blackedOut = on;
    emit blackoutChanged(on);
}

void DrawSession::startAction()
{
    if (m_engine.current() >= m_engine.prizeCount())
        openResultScreen();
    else
        start();
}

DrawEngine::StartOutcome DrawSession::start()
{
    // A range that cannot be applied is told before the names run, not at the stop.
    DrawScope scope;
    const int next = m_engine.current() + 1;
    if (!m_engine.running() && next >= 0 && next < m_engine.prizeCount() && !prepareScope(next, scope))
        return DrawEngine::StartOutcome::Ignored;
    const DrawEngine::StartOutcome outcome = m_engine.StartDraw();
    if (outcome == DrawEngine::StartOutcome::Ignored)
        return outcome;
    play(StartMusic, MusicPlayer::PlayLoop);
    if (outcome == DrawEngine::StartOutcome::ResultScreen) {
        openResultScreen();
        return outcome;
    }
    winnersChanged(false);
    m_exclusionReport = PrizeRanges::exclusionReport(m_engine.award(next), scope, m_engine.pool());
    emit cycleStarted();
    return outcome;
}

DrawEngine::StopOutcome DrawSession::stop()
{
    const bool wasCycling = m_engine.running();
    // Read again at the stop: the range may have been edited while the names ran.
    DrawScope scope;
    if (wasCycling && m_engine.isCurrentPrize() && !prepareScope(m_engine.current(), scope))
        return DrawEngine::StopOutcome::Ignored;
    DrawRecord record;
    const DrawEngine::StopOutcome outcome = m_engine.StopDraw(DrawSeed::fresh(), record, &scope);
    if (wasCycling)
        emit cycleStopped();
    if (outcome == DrawEngine::StopOutcome::Ignored)
        return outcome;
    play(StopSound, MusicPlayer::PlayOnce);
    // Within a range that admits no more than the prize's count the count line says so; the pool may be far
    // larger.
    if (outcome == DrawEngine::StopOutcome::AllRemaining && record.admitted < 0)
        tell(AllRemainingWinMessage);
    journal(JournalEntry::stop(record, m_engine.award(record.prize)));
    // The winners are safe on disk before anything else can go wrong.
    storeResults();
    tableWritten(m_ledger.note(record, m_engine, m_fingerprint, Clock::now()));
    reportExclusions();
    winnersChanged(false);
    emit prizeDrawn(record.prize);
    if (outcome == DrawEngine::StopOutcome::EmptyPool)
        tell(PoolEmptyMessage);
    // The summary is exported however the last prize was completed.
    else if (m_engine.current() == m_engine.prizeCount() - 1)
        exportResults();
    return outcome;
}

DrawEngine::ReplaceResult DrawSession::replace(int row)
{
    if (!m_engine.canReplace(row))
        return DrawEngine::NothingToReplace;
    const tstring absent = m_engine.award(m_engine.current()).winners[static_cast<size_t>(row)];
    DrawScope scope;
    if (!prepareScope(m_engine.current(), scope))
        return DrawEngine::NothingToReplace;
    DrawRecord record;
    const DrawEngine::ReplaceResult result = m_engine.ReplaceWinner(row, DrawSeed::fresh(), record, &scope);
    if (result != DrawEngine::Replaced)
        return result;
    play(StopSound, MusicPlayer::PlayOnce);
    journal(JournalEntry::replace(record, row, absent, m_engine.award(record.prize)));
    storeResults();
    tableWritten(m_ledger.note(record, m_engine, m_fingerprint, Clock::now(), absent));
    // The export's last block is the final result.
    if (m_engine.current() == m_engine.prizeCount() - 1)
        exportResults();
    reportExclusions();
    winnersChanged(true);
    emit winnerReplaced(record.prize, row);
    return result;
}

void DrawSession::restart(const char* reason)
{
    m_resultFingerprint.clear();
    loadDrawData();
    storeResults();
    const QString digest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    journalStart(reason, m_engine.pool().size(), digest);
    // A draw started afresh has no winners yet.
    tableWritten(m_ledger.clear(m_engine));
    checkRanges();
    winnersChanged(false);
    emit restarted(QString::fromLatin1(reason));
}

void DrawSession::openResultScreen()
{
    // Its line chains every draw before it: one photograph of it seals them all.
    journal(JournalEntry::resultScreen(), &m_resultFingerprint);
    // The store says what the journal says, whether the show ends with Enter or a kill.
    storeResults();
    emit resultScreenRequested();
}

void DrawSession::close()
{
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
    if (area == AreaScroll)
        winnersChanged(true);
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
    else if (!wallShown || (!m_pager.next() && m_pager.lastPageSeen()))
        startAction();
}

void DrawSession::pageUp()
{
    if (!m_engine.running())
        m_pager.previous();
}

void DrawSession::turnPage()
{
    m_pager.turn();
}

void DrawSession::buildResultText(tstring& text, unsigned& lines) const
{
    BuildResultText(m_areas.area(AreaMainTitle).m_titleName, m_areas.area(AreaSubTitle).m_titleName,
                    m_engine.awards(), text, lines);
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
}

std::vector<DrawSession::Notice> DrawSession::takeNotices()
{
    return std::exchange(m_notices, {});
}

void DrawSession::appendPrize(const AwardItem& item)
{
    m_engine.appendPrize(item);
    prizeTableChanged();
}

void DrawSession::removePrize(int index)
{
    if (m_engine.removePrize(index))
        emit cycleStopped();
    prizeTableChanged();
}

void DrawSession::movePrize(int from, int to)
{
    m_engine.movePrize(from, to);
    prizeTableChanged();
}

void DrawSession::changePrize(int index, const AwardItem& item)
{
    if (index < 0 || index >= m_engine.prizeCount())
        return;
    m_engine.changePrize(index, item);
    prizeTableChanged();
}

void DrawSession::titlesChanged()
{
    m_areas.settings().titlesChanged();
    m_areas.writeSettings();
    emit layoutChanged();
}

void DrawSession::participantFieldsImported(const QStringList& fields)
{
    m_areas.settings().fieldsChanged(fields.join(QLatin1Char(' ')).toStdWString());
}

void DrawSession::reloadAfterParticipantEdit()
{
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
        tell(ParticipantFileError);
    else if (const auto& owed = m_areas.settings().owedPrizes())
        m_engine.setPrizes(*owed, -1);
    const auto& owedFields = m_areas.settings().owedFields();
    m_ledger.setFieldNames(
        owedFields ? QString::fromStdWString(*owedFields).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                   : ParticipantFields(m_folder));
}

void DrawSession::prizeTableChanged()
{
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
    const bool stored = atExit ? SaveResults(m_folder, m_engine) : KeepResults(m_folder, m_engine);
    m_storeWritten = stored || !ResultStoreExists(m_folder);
    if (!stored && ResultStoreExists(m_folder))
        journal(JournalEntry::storeFailed(QStringLiteral("AwardResult.ini")));
}

void DrawSession::exportResults()
{
    m_exportOwed =
        !ExportResults(m_folder, m_areas.area(AreaMainTitle).m_titleName,
                       m_areas.area(AreaSubTitle).m_titleName, m_engine.awards(), m_participantEncoding);
    told(!m_exportOwed, QStringLiteral("Result.txt"), ResultExportFailure);
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
    told(written, QString::fromLatin1(DrawJournal::FileName),
         JournalFailure + QDir::toNativeSeparators(DrawJournal::FileName).toStdWString(), L"消息");
}

void DrawSession::tableWritten(bool written)
{
    told(written, QString::fromLatin1(WinnersTable::CsvFile), WinnersTableFailure);
}

// A write that keeps failing is told once, and again only after it went through; the show goes on.
void DrawSession::told(bool written, const QString& file, const std::wstring& failure,
                       const std::wstring& caption)
{
    const QString local = m_folder.file(file);
    if (written)
        WriteFailures::succeeded(local);
    else if (WriteFailures::isFirst(local))
        tell(failure, caption);
}

// The pool as it was built, the prize table, and what the result store gave back.
void DrawSession::journalStart(const char* reason, std::size_t participants,
                               const QString& participantsDigest)
{
    JournalEntry::Start start;
    start.reason = QString::fromLatin1(reason);
    start.participants = static_cast<qint64>(participants);
    start.participantsDigest = participantsDigest;
    start.prizes = m_engine.awards();
    start.storedCount = m_engine.current() + 1;
    for (int i = 0; i <= m_engine.current() && i < m_engine.prizeCount(); ++i)
        start.restored.push_back(m_engine.award(i).winners);
    start.absent = m_engine.absent();
    start.withdrawn = m_engine.withdrawn();
    start.poolSize = static_cast<qint64>(m_engine.pool().size());
    start.poolDigest = QString::fromStdWString(PoolDigest(m_engine.pool()));
    journal(JournalEntry::start(start));
}

void DrawSession::tell(const std::wstring& text, const std::wstring& caption)
{
    m_notices.push_back(Notice{text, caption});
    emit noticesAdded();
}

void DrawSession::play(const wchar_t* path, int mode)
{
    emit soundRequested(QString::fromWCharArray(path), mode);
}

bool DrawSession::prepareScope(int prize, DrawScope& scope)
{
    const std::optional<std::wstring> problem = m_ranges.prepare(
        m_engine.award(prize), m_engine.pool(), scope, [this](const std::vector<tstring>& list) {
            const QString digest = m_journal.keepList(list);
            checkListsKept();
            return digest;
        });
    if (problem)
        tell(*problem, L"消息");
    return !problem;
}

void DrawSession::checkRanges()
{
    const std::wstring problems = m_ranges.check(m_engine);
    if (!problems.empty())
        tell(problems, L"消息");
    reportExclusions();
}

void DrawSession::reportExclusions()
{
    m_exclusionReport = m_ranges.exclusionReport(m_engine);
}

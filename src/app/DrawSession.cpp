#include "app/DrawSession.h"

#include "app/DrawScreenPainter.h"
#include "app/MusicPlayer.h"
#include "app/PoolDigest.h"
#include "data/DrawData.h"
#include "data/JournalEntry.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"

#include <QDir>
#include <utility>

DrawSession::DrawSession(QObject* parent) : QObject(parent) {}

void DrawSession::open(int screenWidth, int screenHeight)
{
    if (!m_journal.open())
        journalFailed();
    m_areas.load();
    m_showFingerprint = ShowsFingerprint();
    m_fingerprint = m_journal.lastDrawFingerprint();
    loadDrawData();
    // The list as read is kept before the restore takes the winners out; a
    // million names are not copied for it.
    const std::size_t participants = m_engine.pool().size();
    const QString participantsDigest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    m_zones = m_areas.scaleToScreen(screenWidth, screenHeight);
    RestoreResults(m_engine);
    journalStart("launch", participants, participantsDigest);
    emit changed();
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
    const DrawEngine::StartOutcome outcome = m_engine.StartDraw();
    if (outcome == DrawEngine::StartOutcome::Ignored)
        return outcome;
    play(StartMusic, MusicPlayer::PlayLoop);
    if (outcome == DrawEngine::StartOutcome::ResultScreen) {
        openResultScreen();
        return outcome;
    }
    emit cyclingStarted();
    emit changed();
    return outcome;
}

DrawEngine::StopOutcome DrawSession::stop()
{
    const bool wasCycling = m_engine.running();
    DrawRecord record;
    const DrawEngine::StopOutcome outcome = m_engine.StopDraw(DrawSeed::fresh(), record);
    if (wasCycling)
        emit cyclingStopped();
    if (outcome == DrawEngine::StopOutcome::Ignored)
        return outcome;
    play(StopSound, MusicPlayer::PlayOnce);
    if (outcome == DrawEngine::StopOutcome::AllRemaining)
        tell(AllRemainingWinMessage);
    journalDraw(JournalEntry::stop(record, m_engine.award(record.prize)));
    // The winners are safe on disk before anything else can go wrong.
    storeResults();
    emit changed();
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
    DrawRecord record;
    const DrawEngine::ReplaceResult result = m_engine.ReplaceWinner(row, DrawSeed::fresh(), record);
    if (result != DrawEngine::Replaced)
        return result;
    play(StopSound, MusicPlayer::PlayOnce);
    journalDraw(JournalEntry::replace(record, row, absent, m_engine.award(record.prize)));
    storeResults();
    // The export's last block is the final result.
    if (m_engine.current() == m_engine.prizeCount() - 1)
        exportResults();
    emit changed();
    return result;
}

void DrawSession::restart(const char* reason)
{
    m_fingerprint.clear();
    loadDrawData();
    storeResults();
    const QString digest = m_journal.keepList(m_engine.pool());
    checkListsKept();
    journalStart(reason, m_engine.pool().size(), digest);
    emit changed();
}

void DrawSession::openResultScreen()
{
    journal(JournalEntry::resultScreen());
    emit resultScreenRequested();
    emit changed();
}

void DrawSession::close()
{
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
    const size_t rows = m_engine.award(m_engine.current()).winners.size();
    const int row = DrawScreenPainter::rowAt(m_areas.area(AreaScroll).m_rect, rows, x, y);
    return m_engine.canReplace(row) ? row : -1;
}

void DrawSession::buildResultText(tstring& text, unsigned& lines) const
{
    BuildResultText(m_areas.area(AreaMainTitle).m_titleName, m_areas.area(AreaSubTitle).m_titleName,
                    m_engine.awards(), text, lines);
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
        emit cyclingStopped();
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
    emit changed();
}

void DrawSession::reloadAfterParticipantEdit()
{
    m_areas.reload();
    restart("participants edited");
}

// A prize table the file could not take yet is the one the show goes on with.
void DrawSession::loadDrawData()
{
    emit cyclingStopped();
    m_areas.writeSettings();
    if (!LoadDrawData(m_engine, m_participantEncoding))
        tell(ParticipantFileError);
    else if (const auto& owed = m_areas.settings().owedPrizes())
        m_engine.setPrizes(*owed, -1);
}

void DrawSession::prizeTableChanged()
{
    journal(JournalEntry::prizes(m_engine.awards(), m_engine.current(), m_engine.running()));
    m_areas.settings().prizesChanged(m_engine.awards());
    m_areas.writeSettings();
    // The operator was told the drawn data goes; what is stored is this table's now.
    m_engine.storeAfresh();
    storeResults();
    emit changed();
}

// A failed store has been told by the INI access; the journal records it.
// The exit stores even where the stops did not (a missing store is told then).
void DrawSession::storeResults(bool atExit)
{
    const bool stored = atExit ? SaveResults(m_engine) : KeepResults(m_engine);
    if (!stored && ResultStoreExists())
        journal(JournalEntry::storeFailed(QStringLiteral("AwardResult.ini")));
}

void DrawSession::exportResults()
{
    m_exportOwed =
        !ExportResults(m_areas.area(AreaMainTitle).m_titleName, m_areas.area(AreaSubTitle).m_titleName,
                       m_engine.awards(), m_participantEncoding);
    if (m_exportOwed && !m_exportTold)
        tell(ResultExportFailure);
    m_exportTold = m_exportOwed;
}

void DrawSession::journal(const QJsonObject& entry)
{
    if (!m_journal.append(entry))
        journalFailed();
}

// What the audience's photos fix: a draw the journal could not take has none.
void DrawSession::journalDraw(const QJsonObject& entry)
{
    m_fingerprint.clear();
    if (!m_journal.append(entry, &m_fingerprint))
        journalFailed();
}

void DrawSession::checkListsKept()
{
    if (!m_journal.listsKept())
        journalFailed();
}

// A journal that cannot be written is told once; the show goes on.
void DrawSession::journalFailed()
{
    if (m_journalTold)
        return;
    m_journalTold = true;
    tell(JournalFailure + QDir::toNativeSeparators(DrawJournal::FileName).toStdWString(), L"消息");
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
}

void DrawSession::play(const wchar_t* path, int mode)
{
    emit soundRequested(QString::fromWCharArray(path), mode);
}

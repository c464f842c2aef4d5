#include "data/JournalVerifier.h"

#include "data/DrawJournal.h"
#include "data/FolderFile.h"
#include "data/JournalReplay.h"
#include "data/ResultStore.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"
#include "platform/LineReader.h"

#include <QFileInfo>
#include <algorithm>
#include <map>

namespace {

constexpr qsizetype MaxStoreLines = 1000000;

QString normalFingerprint(QString text)
{
    text = text.trimmed().toUpper().remove(QLatin1Char('-'));
    if (text.size() != 16)
        return QString();
    return QStringLiteral("%1-%2-%3-%4").arg(text.mid(0, 4), text.mid(4, 4), text.mid(8, 4), text.mid(12, 4));
}

// Nobody won more often than they are on a list the draw was made from;
// a winner on no list came from a store older than the journal.
void checkNobodyWonTwice(JournalReplay& replay)
{
    std::map<tstring, int> won;
    for (const AwardItem& award : replay.engine().awards())
        for (const tstring& name : award.winners)
            ++won[name];
    std::map<tstring, int> allowed;
    for (const QString& path : replay.lists()) {
        QByteArray bytes;
        if (LineReader::readAll(replay.folder().file(path), JournalVerifier::MaxListBytes, bytes) !=
            LineReader::Opened::Ok)
            continue;
        std::map<tstring, int> counted;
        for (const QByteArray& name : bytes.split('\n')) {
            const tstring text = QString::fromUtf8(name).toStdWString();
            if (won.count(text))
                ++counted[text];
        }
        for (const auto& [name, count] : counted)
            allowed[name] = std::max(allowed[name], count);
    }
    for (const auto& [name, count] : won) {
        const auto found = allowed.find(name);
        if (count > (found == allowed.end() ? 1 : found->second))
            replay.fail(QStringLiteral("%1 中奖不止一次").arg(QString::fromStdWString(name)));
    }
}

void checkStore(JournalReplay& replay)
{
    const QString path =
        QString::fromStdWString(ResultStoreFile).replace(QLatin1Char('\\'), QLatin1Char('/'));
    QByteArray bytes;
    const LineReader::Opened opened =
        FolderFile::read(replay.folder(), path, JournalVerifier::MaxStoreBytes, bytes);
    if (opened != LineReader::Opened::Ok && opened != LineReader::Opened::Missing) {
        replay.fail(FolderFile::unreadable(opened, QStringLiteral("AwardResult.ini"),
                                           JournalVerifier::MaxStoreBytes));
        return;
    }
    if (bytes.count('\n') > MaxStoreLines) {
        replay.fail(QStringLiteral("AwardResult.ini 行数过多"));
        return;
    }
    const IniDocument store = IniDocument::fromBytes(bytes.toStdString());
    const auto value = [&](const std::wstring& key) {
        return QString::fromStdWString(
            IniFile::readString(store, L"AwardResult", key, L"", std::wstring::npos));
    };
    const int stored = IniFile::readInt(store, L"AwardResult", L"Cnt", 0);
    const int expected = replay.engine().finishedCountToStore();
    if (stored != expected)
        replay.fail(
            QStringLiteral("AwardResult.ini 记录了 %1 项, 抽奖记录为 %2 项").arg(stored).arg(expected));
    for (int i = 0; i < expected && i < replay.engine().prizeCount(); ++i) {
        if (value(L"Itme" + std::to_wstring(i)) != JournalReplay::joined(replay.engine().award(i).winners))
            replay.fail(
                QStringLiteral("%1: AwardResult.ini 中的中奖名单与抽奖记录不符").arg(replay.prizeLabel(i)));
    }
    if (value(L"Absent") != JournalReplay::joined(replay.engine().absent()) ||
        value(L"Withdrawn") != JournalReplay::joined(replay.engine().withdrawn()))
        replay.fail(QStringLiteral("AwardResult.ini 中的缺席或撤下名单与抽奖记录不符"));
}

// The draws after a photographed result screen have no photograph to answer for them.
void checkDrawsAfter(JournalReplay& replay, int screenLine)
{
    for (const auto& [line, fingerprint] : replay.drawLines()) {
        if (line > screenLine)
            replay.caution(QStringLiteral("第 %1 行的抽取 (记录 %2) 在第 %3 行的结果屏幕之后, 没有照片为证")
                               .arg(line)
                               .arg(fingerprint)
                               .arg(screenLine));
    }
}

// Each photograph is of a draw or of a result screen; a result screen's
// fixes every line before it, and the draws after it have none.
void checkPhotographs(JournalReplay& replay, const QStringList& photographed)
{
    for (const QString& given : photographed) {
        const QString fingerprint = normalFingerprint(given);
        const auto screen = replay.resultScreens().find(fingerprint);
        if (screen != replay.resultScreens().end())
            checkDrawsAfter(replay, screen->second);
        else if (fingerprint.isEmpty() || !replay.drawn(fingerprint))
            replay.fail(
                QStringLiteral("记录 %1 不是抽奖记录中任何一次抽取或结果屏幕的记录").arg(given.trimmed()));
    }
}

void checkCommitments(JournalReplay& replay, const QStringList& photographed)
{
    for (const QString& given : photographed) {
        const QString hex = given.trimmed().toLower().remove(QLatin1Char('-'));
        const bool wellFormed =
            (hex.size() == 32 || hex.size() == 64) && std::all_of(hex.begin(), hex.end(), [](QChar c) {
                return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                       (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
            });
        if (!wellFormed || !replay.committed(hex))
            replay.fail(QStringLiteral("承诺 %1 不是抽奖记录中任何一次承诺").arg(given.trimmed()));
    }
}

void conclude(JournalReplay& replay)
{
    if (replay.oldRule())
        replay.report.lines << QStringLiteral(
            "有抽取按旧规则 (种子为抽取时的秒数) 进行: 可以复现, 但中奖者事先可以算出");
    if (replay.faulty()) {
        replay.report.exitCode = JournalVerifier::Faulty;
        replay.report.lines << QStringLiteral("共 %1 次抽取, 发现不符, 见上").arg(replay.draws());
    } else if (replay.cautions() > 0) {
        // Not everything the store holds or a photograph fixes is explained by replayed draws.
        replay.report.exitCode = JournalVerifier::Discarded;
        replay.report.lines
            << QStringLiteral("共 %1 次抽取, 记录中的抽取都可复现, 与 AwardResult.ini 一致; %2 处需要说明, "
                              "见上%3")
                   .arg(replay.draws())
                   .arg(replay.cautions())
                   .arg(replay.discarded() > 0 ? QStringLiteral("; 作废 %1 次").arg(replay.discarded())
                                               : QString());
    } else if (replay.discarded() > 0 || replay.oldRule()) {
        replay.report.exitCode = JournalVerifier::Discarded;
        replay.report.lines << QStringLiteral(
                                   "共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致; 作废 %2 次%3")
                                   .arg(replay.draws())
                                   .arg(replay.discarded())
                                   .arg(replay.oldRule() ? QStringLiteral(", 旧规则") : QString());
    } else {
        replay.report.lines
            << QStringLiteral("共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致").arg(replay.draws());
    }
    replay.report.ok = replay.report.exitCode == JournalVerifier::Verified;
}

} // namespace

JournalVerifier::Report JournalVerifier::verify(const EventFolder& folder, const Options& options)
{
    JournalReplay replay(folder);
    const QString path = QString::fromLatin1(DrawJournal::FileName);
    const QString file = folder.file(path);
    LineReader reader;
    LineReader::Opened opened = LineReader::Opened::Missing;
    if (QFileInfo::exists(file) || QFileInfo(file).isSymLink())
        opened = folder.holds(file) ? reader.open(file, MaxJournalBytes) : LineReader::Opened::NotRegular;
    if (opened != LineReader::Opened::Ok && opened != LineReader::Opened::Missing) {
        replay.fail(FolderFile::unreadable(opened, path, MaxJournalBytes));
        replay.report.exitCode = Faulty;
        replay.report.ok = false;
        return replay.report;
    }
    QByteArray line;
    int number = 0;
    bool going = opened == LineReader::Opened::Ok;
    while (going && reader.next(line, MaxLineBytes)) {
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        if (reader.torn()) {
            replay.report.lines
                << QStringLiteral("第 %1 行没有写完 (程序在写记录时中断), 未计入").arg(number);
            break;
        }
        going = !replay.expired() && replay.line(line, number);
    }
    // What still waited for its stop when the journal ends: a kill while the names cycled.
    replay.abandon(QStringLiteral("记录到此为止, 名字停止前程序被中断"));
    if (going && reader.tooLong())
        replay.fail(QStringLiteral("第 %1 行超过 %2 MiB").arg(number + 1).arg(MaxLineBytes >> 20));
    else if (going && reader.failed())
        replay.fail(QStringLiteral("无法读完 %1").arg(path));
    if (replay.lines() == 0) {
        replay.fail(QStringLiteral("没有抽奖记录"));
    } else {
        checkNobodyWonTwice(replay);
        checkStore(replay);
        checkPhotographs(replay, options.fingerprints);
        checkCommitments(replay, options.commitments);
    }
    conclude(replay);
    return replay.report;
}

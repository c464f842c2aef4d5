#include "data/WinnerHistory.h"

#include "data/DrawJournal.h"
#include "data/JournalEntry.h"

#include <QDateTime>
#include <QJsonDocument>

QString WinnerHistory::timeText(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void WinnerHistory::follow(const JournalEntry::Draw& draw, bool replacement)
{
    const DrawRecord& record = draw.record;
    if (!record.witnessed || record.winners.empty())
        return;
    std::shared_ptr<WitnessStream> stream;
    if (replacement) {
        const auto found = streams.find(draw.absent.toStdWString());
        if (found == streams.end() || found->second->seed.bytes() != record.seed.bytes())
            return;
        stream = found->second;
    } else {
        stream = std::make_shared<WitnessStream>(WitnessStream::of(record));
    }
    stream->nextWord = record.firstWord + record.words;
    for (const tstring& winner : record.winners)
        streams[winner] = stream;
}

WinnerHistory WinnerHistory::fromJournal(const std::string& bytes)
{
    std::vector<QByteArray> lines;
    for (size_t end = bytes.size(); end > 0;) {
        const size_t feed = bytes.rfind('\n', end - 1);
        const size_t begin = feed == std::string::npos ? 0 : feed + 1;
        const QByteArray line = QByteArray::fromRawData(bytes.data() + begin, qsizetype(end - begin));
        if (line.contains("\"type\":\"start\"") && !line.contains("\"reason\":\"launch\""))
            break;
        // Only the draws are read; the other lines, restored winners and all, are passed over.
        if (line.contains("\"type\":\"stop\"") || line.contains("\"type\":\"replace\""))
            lines.push_back(line);
        if (feed == std::string::npos)
            break;
        end = feed;
    }
    WinnerHistory history;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        const QJsonObject entry = QJsonDocument::fromJson(*line).object();
        JournalEntry::Line head;
        JournalEntry::Draw draw;
        if (!JournalEntry::readLine(entry, head, nullptr) || !JournalEntry::readDraw(entry, draw, nullptr))
            continue;
        const bool replacement = head.type == JournalEntry::Type::Replace;
        const Drawn drawn{timeText(head.time), DrawJournal::fingerprint(*line), replacement};
        if (replacement && !draw.record.winners.empty()) {
            const tstring absent = draw.absent.toStdWString();
            const auto found = history.drawn.find(absent);
            history.replacements.push_back(Replacement{
                absent, draw.record.winners.front(), found != history.drawn.end() ? found->second : Drawn()});
        }
        for (const tstring& winner : draw.record.winners)
            history.drawn[winner] = drawn;
        history.follow(draw, replacement);
    }
    return history;
}

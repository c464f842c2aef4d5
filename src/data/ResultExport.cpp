#include "data/ResultExport.h"

#include "platform/Clock.h"
#include "platform/EventFolder.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <cwchar>

const wchar_t* const ResultExportFile = L"Result.txt";
const wchar_t* const ResultExportFailure = L"无法写入文件:Result.txt,本次抽奖结果没有导出";

namespace {

void addLine(tstring& text, unsigned& lines, const std::wstring& line)
{
    text += line;
    text += L"\r\n";
    ++lines;
}

bool plainAscii(const std::string& bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The encoding to append in, and whether a byte-order mark must start the file.
std::pair<TextEncoding, bool> exportEncoding(const std::string& existing, TextEncoding participantEncoding)
{
    if (existing.empty())
        return {participantEncoding, !CodePage::byteOrderMark(participantEncoding).empty()};
    const TextEncoding found = CodePage::detect(existing, true);
    if (found == TextEncoding::Ansi && plainAscii(existing) && participantEncoding != TextEncoding::Ansi)
        return {TextEncoding::Utf8, false};
    return {found, false};
}

} // namespace

tstring FormatDrawTime(std::time_t time)
{
    const std::tm* local = std::localtime(&time);
    if (!local)
        return tstring();
    wchar_t buffer[128] = {};
    if (std::wcsftime(buffer, 128, L"%Y-%m-%d  %H:%M:%S", local) == 0)
        return tstring();
    return tstring(buffer);
}

void BuildResultText(const QString& mainTitle, const QString& subTitle, const std::vector<AwardItem>& awards,
                     tstring& text, unsigned& lines)
{
    lines = 0;
    addLine(text, lines, mainTitle.toStdWString());
    addLine(text, lines, subTitle.toStdWString());
    addLine(text, lines, L"");
    addLine(text, lines, FormatDrawTime(Clock::now()));
    addLine(text, lines, L"");
    for (auto award = awards.rbegin(); award != awards.rend(); ++award) {
        addLine(text, lines, award->awardName);
        addLine(text, lines, award->prizeName);
        for (const tstring& winner : award->winners)
            addLine(text, lines, winner);
        addLine(text, lines, L"");
    }
}

bool AppendResultFile(const EventFolder& folder, const tstring& text, TextEncoding participantEncoding)
{
    if (text.empty())
        return true;
    const QString path = folder.file(ResultExportFile);
    std::string existing;
    bool written = false;
    if (!QFileInfo(path).isDir() && (!QFileInfo::exists(path) || TextFile::readAll(path, existing))) {
        const auto [encoding, withMark] = exportEncoding(existing, participantEncoding);
        std::string bytes = withMark ? CodePage::byteOrderMark(encoding) : std::string();
        bytes += CodePage::encode(text, encoding);
        written = TextFile::append(path, bytes);
    }
    return written;
}

bool ExportResults(const EventFolder& folder, const QString& mainTitle, const QString& subTitle,
                   const std::vector<AwardItem>& awards, TextEncoding participantEncoding)
{
    tstring text;
    unsigned lines = 0;
    BuildResultText(mainTitle, subTitle, awards, text, lines);
    return AppendResultFile(folder, text, participantEncoding);
}

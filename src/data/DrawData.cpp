#include "data/DrawData.h"

#include "app/DrawEngine.h"
#include "areas/TextAreas.h"
#include "data/ParticipantFile.h"
#include "data/PrizeTable.h"
#include "platform/EventFolder.h"
#include "platform/IniFile.h"

#include <QFileInfo>
#include <QString>

const wchar_t* const ParticipantFileError = L"打开抽奖文件失败!";

bool LoadDrawData(const EventFolder& folder, DrawEngine& engine, TextEncoding& participantEncoding)
{
    engine.Reset();
    ParticipantList participants;
    if (!ReadParticipants(folder, participants))
        return false;
    participantEncoding = participants.encoding;
    // Files of the event that hold only ASCII so far follow the participants' encoding.
    CodePage::setAsciiFileEncoding(participants.encoding);
    std::vector<AwardItem> awards;
    LoadPrizeTable(folder, awards);
    engine.load(std::move(participants.names), std::move(awards));
    return true;
}

bool ShowsFingerprint(const EventFolder& folder)
{
    return IniFile::readString(folder.file(AwardInfoFile), L"Journal", L"ShowFingerprint", L"", 16) != L"0";
}

bool KeepsPictureAspect(const EventFolder& folder)
{
    return IniFile::readString(folder.file(AwardInfoFile), L"AwardPic", L"KeepAspect", L"", 16) == L"1";
}

bool GrowsWinners(const EventFolder& folder)
{
    return IniFile::readString(folder.file(AwardInfoFile), L"AwardScroll", L"Grow", L"", 16) != L"0";
}

bool ShowsEffects(const EventFolder& folder)
{
    return IniFile::readString(folder.file(AwardInfoFile), L"Show", L"Effects", L"", 16) != L"0";
}

QString PrizeSound(const EventFolder& folder, const DrawEngine& engine, int prize, bool start,
                   const wchar_t* fallback)
{
    if (prize >= 0 && prize < engine.prizeCount()) {
        const tstring& own = start ? engine.award(prize).startMusic : engine.award(prize).stopMusic;
        if (!own.empty() && QFileInfo(folder.file(own)).isFile())
            return QString::fromStdWString(own);
    }
    return QString::fromWCharArray(fallback);
}

int PageSeconds(const EventFolder& folder)
{
    const std::wstring value =
        IniFile::readString(folder.file(AwardInfoFile), L"AwardScroll", L"PageSeconds", L"", 16);
    bool ok = false;
    const int seconds = QString::fromStdWString(value).trimmed().toInt(&ok);
    return ok && seconds >= 0 && seconds <= 3600 ? seconds : 6;
}

const wchar_t* const ParticipantSection = L"Participants";
const wchar_t* const ParticipantFieldsKey = L"Fields";

QStringList ParticipantFields(const EventFolder& folder)
{
    return QString::fromStdWString(IniFile::readString(folder.file(AwardInfoFile), ParticipantSection,
                                                       ParticipantFieldsKey, L"", 4096))
        .split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString DisplayScreen(const EventFolder& folder)
{
    return QString::fromStdWString(
               IniFile::readString(folder.file(AwardInfoFile), L"Display", L"Screen", L"", 256))
        .trimmed();
}

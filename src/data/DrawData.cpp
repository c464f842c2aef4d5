#include "data/DrawData.h"

#include "app/DrawEngine.h"
#include "areas/TextAreas.h"
#include "data/ParticipantFile.h"
#include "data/PrizeTable.h"
#include "platform/IniFile.h"

const wchar_t* const ParticipantFileError = L"打开抽奖文件失败!";

bool LoadDrawData(DrawEngine& engine, TextEncoding& participantEncoding)
{
    engine.Reset();
    ParticipantList participants;
    if (!ReadParticipants(participants))
        return false;
    participantEncoding = participants.encoding;
    // Files of the event that hold only ASCII so far follow the participants' encoding.
    CodePage::setAsciiFileEncoding(participants.encoding);
    std::vector<AwardItem> awards;
    LoadPrizeTable(awards);
    engine.load(std::move(participants.names), std::move(awards));
    return true;
}

bool ShowsFingerprint()
{
    return IniFile::readString(AwardInfoFile, L"Journal", L"ShowFingerprint", L"", 16) != L"0";
}

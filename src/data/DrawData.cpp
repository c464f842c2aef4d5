#include "data/DrawData.h"

#include "app/DrawEngine.h"
#include "data/ParticipantFile.h"
#include "data/PrizeTable.h"
#include "platform/MsgBox.h"

const wchar_t* const ParticipantFileError = L"打开抽奖文件失败!";

bool LoadDrawData(DrawEngine& engine, TextEncoding& participantEncoding)
{
    engine.Reset();
    ParticipantList participants;
    if (!ReadParticipants(participants)) {
        MsgBox::show(ParticipantFileError);
        return false;
    }
    engine.m_pool = std::move(participants.names);
    participantEncoding = participants.encoding;
    // Files of the event that hold only ASCII so far follow the participants' encoding.
    CodePage::setAsciiFileEncoding(participants.encoding);
    LoadPrizeTable(engine.m_awards);
    return true;
}

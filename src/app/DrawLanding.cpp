#include "app/DrawLanding.h"

#include "app/WallPager.h"
#include "areas/AreaEditor.h"
#include "areas/AreaFont.h"
#include "data/DrawJournal.h"
#include "data/JournalEntry.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"

DrawLanding::DrawLanding(const AreaEditor& areas, int screenHeight, int layoutChanges, bool grow)
    : screenHeight(screenHeight), layoutChanges(layoutChanges), grow(grow)
{
    const CLottoryArea& names = areas.area(AreaScroll);
    area = names.m_rect;
    faceName = names.m_fontName;
    fontSize = names.m_fontSize;
    color = AreaFont::toQColor(names.m_fontColor);
    mainTitle = areas.area(AreaMainTitle).m_titleName;
    subTitle = areas.area(AreaSubTitle).m_titleName;
}

// The GUI thread changes neither the draw nor the journal until this has landed.
void DrawLanding::keepDrawn(DrawJournal& journal, const DrawEngine& engine, const EventFolder& folder,
                            TextEncoding encoding, const QJsonObject& entry)
{
    const int prize = drawing.record.prize;
    journalled = journal.append(entry);
    // The store as it is once the drawing has landed.
    StoredDraw draw = StoredDraw::of(engine);
    std::vector<tstring> allAbsent;
    if (drawing.row >= 0) {
        allAbsent = engine.absent();
        allAbsent.push_back(absent);
        draw.absent = &allAbsent;
        draw.winners[static_cast<size_t>(prize)] = &drawing.winners;
    } else {
        draw.finished = prize + 1;
        draw.winners.push_back(&drawing.winners);
    }
    keepStored(journal, folder, draw);

    std::vector<QString> names;
    names.reserve(drawing.winners.size());
    for (const tstring& winner : drawing.winners)
        names.push_back(QString::fromStdWString(winner));
    wall = WallPager::wallFor(area, faceName, fontSize, screenHeight, names, grow);
    if (wall.mode() == WinnerWall::Mode::Grid)
        wall.setFirstPage(wall.drawn(area, 0, color, [&names](int i) { return names[size_t(i)]; }), color);

    // The summary is exported however the last prize was completed.
    if (prize == engine.prizeCount() - 1 && drawing.outcome != DrawEngine::StopOutcome::EmptyPool) {
        std::vector<AwardItem> awards = engine.awards();
        awards[static_cast<size_t>(prize)].winners = drawing.winners;
        exportTried = true;
        exported = ExportResults(folder, mainTitle, subTitle, awards, encoding);
    }
}

void DrawLanding::keepStored(DrawJournal& journal, const EventFolder& folder, const StoredDraw& draw)
{
    stored = KeepResults(folder, draw);
    if (!stored)
        journal.append(JournalEntry::storeFailed(QString::fromWCharArray(ResultStoreFile)));
    fingerprint = journal.lastDrawFingerprint();
}

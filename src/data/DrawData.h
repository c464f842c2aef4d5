#pragma once

#include "platform/CodePage.h"

#include <QString>
#include <QStringList>

class DrawEngine;
class EventFolder;

extern const wchar_t* const ParticipantFileError;

// Starts the draw afresh from the event's files: the participants of
// "data.txt", then the prize table. False when "data.txt" cannot be opened
// (the operator is then told ParticipantFileError) and the draw stays
// empty. Sets the encoding the participants were read in.
bool LoadDrawData(const EventFolder& folder, DrawEngine& engine, TextEncoding& participantEncoding);

// Whether the draw screen shows the fingerprint of the last draw's journal
// line: unless "AwardInfo.ini" says [Journal] ShowFingerprint=0.
bool ShowsFingerprint(const EventFolder& folder);
// [AwardPic] KeepAspect=1: the prize picture is fitted into its area, not stretched.
bool KeepsPictureAspect(const EventFolder& folder);
// [AwardScroll] Grow=0: a few winners keep the names area's own font.
bool GrowsWinners(const EventFolder& folder);
// [Show] Effects=0: no confetti when winners land.
bool ShowsEffects(const EventFolder& folder);
// A prize's own start loop or stop sound when it names one that is there, else the event's.
QString PrizeSound(const EventFolder& folder, const DrawEngine& engine, int prize, bool start,
                   const wchar_t* fallback);

// How many seconds a page of winners stays before the next: "PageSeconds" of
// the names area's section, 6 unless it says otherwise, 0 for only by key.
int PageSeconds(const EventFolder& folder);

extern const wchar_t* const ParticipantSection;
extern const wchar_t* const ParticipantFieldsKey;
// The headings of the fields of a name, as the import of a sheet found them:
// [Participants] Fields=, split at spaces; none when it says nothing.
QStringList ParticipantFields(const EventFolder& folder);

// The screen the show covers as "AwardInfo.ini" names it: [Display] Screen=,
// a screen's name or its number from 1; empty when it says nothing.
QString DisplayScreen(const EventFolder& folder);

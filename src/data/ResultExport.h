#pragma once

#include "app/AwardItem.h"
#include "platform/CodePage.h"

#include <QString>
#include <ctime>
#include <vector>

class EventFolder;

extern const wchar_t* const ResultExportFile;
// What the operator is told when the export cannot be written.
extern const wchar_t* const ResultExportFailure;

// "%Y-%m-%d  %H:%M:%S" in local time; empty when the time has no local form.
tstring FormatDrawTime(std::time_t time);

// Appends the summary block (titles, time, then every prize from the last to
// the first with its winners), each line ended by CR LF, and sets lines to
// the number of lines appended.
void BuildResultText(const QString& mainTitle, const QString& subTitle, const std::vector<AwardItem>& awards,
                     tstring& text, unsigned& lines);

// Appends the text to "Result.txt" in the encoding the file already has, or,
// for a new file, in the participant list's, all or nothing. False when the
// file cannot be written.
bool AppendResultFile(const EventFolder& folder, const tstring& text, TextEncoding participantEncoding);

// BuildResultText and AppendResultFile together, as the last prize's stop does.
bool ExportResults(const EventFolder& folder, const QString& mainTitle, const QString& subTitle,
                   const std::vector<AwardItem>& awards, TextEncoding participantEncoding);

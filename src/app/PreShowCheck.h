#pragma once

#include <QString>
#include <vector>

class DrawSession;

// The pre-show check: whether tonight's files are ready, a line a subject,
// each 正常 or what to fix. It gathers what the show checks as it opens and
// blocks nothing.
class PreShowCheck
{
public:
    struct Line
    {
        QString subject;
        bool ok = true;
        QString text;
    };
    // What only the windows know.
    struct Views
    {
        bool soundAvailable = true;
        // The phones' page: its address (empty when off) and the phones holding it.
        QString phoneUrl;
        int phones = 0;
        QString phoneProblem;
        // The audience screen the show covers.
        QString screen;
    };
    // Below this much free space the event folder is flagged.
    static constexpr qint64 LeastFreeBytes = qint64(200) << 20;

    static std::vector<Line> run(const DrawSession& session, const Views& views);
    // One line each, as the console shows them.
    static QString text(const std::vector<Line>& lines);
};

#pragma once

#include "app/AwardItem.h"
#include "app/StretchedPicture.h"
#include "app/SummaryLayout.h"
#include "platform/Rect.h"

#include <QString>
#include <memory>
#include <vector>

class AreaEditor;

class EventFolder;

// What the result screen shows, made ready off the GUI thread while its
// journal line is written: the summary of every prize and its two pictures,
// decoded and scaled to where they go. The summary is laid out on the GUI
// thread as it scrolls into view: a text layout holds the fonts of the
// thread that made it.
class ResultScreenParts
{
public:
    static constexpr const wchar_t* ResultPicture = L"Backimg\\result.jpg";
    static constexpr const wchar_t* ExitPicture = L"Backimg\\exit.jpg";
    static constexpr const wchar_t* ResultMusic = L"Music\\result.mp3";

    // What the parts are made from, taken on the GUI thread.
    struct Inputs
    {
        QString mainTitle;
        QString subTitle;
        Rect screen;
        Rect exit;
    };

    // What the session shows: the titles, the screen and its exit zone.
    static Inputs inputsOf(const AreaEditor& areas, int screenWidth, int screenHeight, const Rect& exit);
    // Any thread.
    static std::shared_ptr<ResultScreenParts> make(const EventFolder& folder, const Inputs& inputs,
                                                   const std::vector<AwardItem>& awards);

    tstring summary;
    unsigned lines = 0;
    // As it is drawn: one line break a line.
    QString shown;
    StretchedPicture result;
    StretchedPicture exit;
    SummaryLayout layout;
};

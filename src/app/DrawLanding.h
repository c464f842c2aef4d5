#pragma once

#include "app/DrawEngine.h"
#include "app/ResultScreenParts.h"
#include "app/WinnerWall.h"
#include "platform/CodePage.h"
#include "platform/EventFolder.h"
#include "platform/Rect.h"

#include <QColor>
#include <QJsonObject>
#include <QString>
#include <memory>

class AreaEditor;
class DrawJournal;
struct StoredDraw;

// What a stop, a replacement or the result screen's entry made off the GUI
// thread, for the GUI thread to show: the drawing, what came of writing it,
// and the names area's wall laid out as the area stood when it began.
struct DrawLanding
{
    DrawLanding() = default;
    // As the names area and the titles stand now.
    DrawLanding(const AreaEditor& areas, int screenHeight, int layoutChanges, bool grow);

    // On the worker: the journal line, the store, the wall and the last
    // prize's export, for the drawing as it will land.
    void keepDrawn(DrawJournal& journal, const DrawEngine& engine, const EventFolder& folder,
                   TextEncoding encoding, const QJsonObject& entry);
    // On the worker: the store as the drawing leaves it, a failure in the
    // journal, and the fingerprint of the journal's last draw.
    void keepStored(DrawJournal& journal, const EventFolder& folder, const StoredDraw& draw);

    DrawEngine::Drawing drawing;
    tstring absent;
    // What the GUI thread showed when it began.
    Rect area;
    QString faceName;
    int fontSize = 0;
    QColor color;
    int screenHeight = 0;
    QString mainTitle;
    QString subTitle;
    int layoutChanges = 0;
    bool grow = true;
    // What came of it.
    bool journalled = true;
    QString fingerprint;
    QString resultFingerprint;
    std::shared_ptr<ResultScreenParts> resultScreen;
    bool stored = true;
    WinnerWall wall;
    bool exportTried = false;
    bool exported = true;
};

#pragma once

#include "areas/tstring.h"

struct DrawRecord;

// What the draw rules need from the screen that runs them: sound, the timer
// that cycles names, repaints, the result screen and the export.
class DrawHost
{
public:
    virtual ~DrawHost() = default;

    virtual void playMusic(const tstring& path, int mode) = 0;
    virtual void startCycleTimer() = 0;
    virtual void stopCycleTimer() = 0;
    virtual void repaintAll() = 0;
    virtual void showResultScreen() = 0;
    // Builds the result summary and appends it to the export file.
    virtual void exportResults() = 0;
    // Writes the result store as it would be written at exit, so that a
    // crash in the middle of the event loses no winner.
    virtual void storeResults() = 0;
    // What decided a stop, told before the winners are stored and shown.
    virtual void recordDraw(const DrawRecord&) {}
};

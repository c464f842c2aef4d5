#pragma once

#include "app/DrawHost.h"

// A draw without a screen: nothing is shown, heard, exported or stored.
class SilentHost : public DrawHost
{
public:
    void playMusic(const tstring&, int) override {}
    void startCycleTimer() override {}
    void stopCycleTimer() override {}
    void repaintAll() override {}
    void showResultScreen() override {}
    void exportResults() override {}
    void storeResults() override {}
};

#pragma once

#include "app/AudienceFrame.h"
#include "app/TextScroll.h"
#include "live/PhoneService.h"
#include "show/ShowController.h"

#include <QObject>
#include <QPointer>
#include <memory>

class CRafoDlg;
class CResultDlg;
class OperatorConsole;
class QWidget;

// The show's windows: the controller, and its views for the hall and the
// operator (the draw screen, the console, the result screen) with the
// dialogs they ask for. The views know the controller only; they meet here.
class ShowWindows : public QObject
{
    Q_OBJECT
public:
    // A rehearsal's windows say so and serve no phones.
    explicit ShowWindows(const EventFolder& folder, bool rehearsal = false);
    ~ShowWindows() override;

    // Follows the screen the event names and opens the show there.
    void open();
    // Opens the show on that area, following nothing.
    void open(const QRect& screen);

    ShowController& controller() { return m_controller; }
    PhoneService& phones() { return m_phones; }
    CRafoDlg& drawScreen() { return *m_screen; }
    OperatorConsole* console() const { return m_console.get(); }
    // Opens the operator's console, or brings it to the front.
    void openConsole();
    // Dialogs and message boxes open where the operator is: over the console while it is open.
    QWidget* dialogParent();
    void showResultScreen();
    bool resultScreenOpen() const { return !m_result.isNull(); }
    // A command's dialog: the settings, the participants, the font, About, the console.
    void runDialog(int command);

private:
    void placeConsole();
    bool consoleWatching() const;
    // The audience windows paint for the console's preview while it is shown.
    AudienceFrame::Watcher previewWatcher() const;
    void closeAll();
    void togglePhoneCode();
    // Runs the show on a copy of the event until its exit, this one standing aside untouched.
    void rehearse();
    void showPhones();

    ShowController m_controller;
    std::unique_ptr<CRafoDlg> m_screen;
    PhoneService m_phones;
    bool m_rehearsal = false;
    std::unique_ptr<OperatorConsole> m_console;
    QPointer<CResultDlg> m_result;
    // It outlives the result screen, so a second opening continues.
    TextScroll m_resultScroll{TextScroll::Axis::Upwards};
};

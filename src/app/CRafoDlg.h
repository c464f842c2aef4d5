#pragma once

#include "app/AudienceFrame.h"
#include "app/Confetti.h"
#include "app/DrawScreenMenu.h"
#include "app/DrawScreenPainter.h"
#include "areas/AreaEditor.h"
#include "show/ShowCommand.h"

#include <QBasicTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <functional>
#include <memory>

namespace Ui {
class CRafoDlg;
}
class CLottoryArea;
class DrawEngine;
class DrawSession;
class ShowController;
class TrackerOverlay;

// The full-screen draw screen, the audience's view of the show: it covers
// the controller's screen, turns clicks, keys and menu commands into the
// controller's commands, and paints the session's state as it changes. The
// dialogs its menu names it asks for; it knows no other window.
class CRafoDlg : public QDialog
{
    Q_OBJECT
public:
    enum Timer
    {
        CycleTimer = 1,
        CaptionTimer = 2
    };
    static constexpr int CyclePeriodMs = 16;
    static constexpr int CaptionPeriodMs = 200;
    static constexpr int ConfettiPeriodMs = 33;
    static constexpr int LandingFirstPeriodMs = 40;
    static constexpr int LandingLastPeriodMs = 320;

    explicit CRafoDlg(ShowController& show, QWidget* parent = nullptr);
    ~CRafoDlg() override;

    // Covers the area and starts painting; the controller opened the show there.
    void OnInitDialog(const QRect& screen);
    // The show covers another area: the window follows.
    void coverScreen(const QRect& screen);

    void StartDraw();
    void StopDraw();
    void OnCommand(int id);
    void OnTimer(int timer);
    // A frame of the confetti, and its end.
    void confettiStep();
    // The next running name where a winner shown one at a time lands.
    void landingStep();
    // Whether another window covers it for the hall (the result screen,
    // while the console's preview shows that one): then it paints black.
    void setCoveredWhen(std::function<bool()> covered) { m_covered = std::move(covered); }
    // Who watches the frames painted (the console's preview), asked at every paint.
    void setFrameWatcher(std::function<AudienceFrame::Watcher()> watcher) { m_watcher = std::move(watcher); }

    DrawSession& session();
    const DrawEngine& engine() const;
    const CLottoryArea& area(int index) const;
    const Rect& screenRect() const { return m_screenRect; }
    const Rect& startRect() const;
    const Rect& stopRect() const;
    int selectedArea() const;
    AreaEditor::Mode areaMode() const;
    bool isCycling() const { return m_cycleTimer.isActive(); }
    // The phones' QR code over the screen with its address; a null code hides it.
    void showPhoneCode(const QImage& code, const QString& url);
    bool phoneCodeShown() const { return !m_phoneCode.isNull(); }
    bool confettiFalling() const { return m_confetti.active(m_clock.elapsed()); }
    // A rehearsal says so, small, in a corner of the screen.
    void setRehearsal(bool on) { m_rehearsal = on; }

signals:
    // A command whose dialog or window is not the draw screen's own: the
    // settings, the participants, the font, About, the console.
    void dialogRequested(int command);
    // The QR code was shown or hidden.
    void phoneCodeChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    AreaEditor& areas();
    const AreaEditor& areas() const;
    void openContextMenu(const QPoint& point, const QPoint& globalPos);
    void paintFrame(QPainter& painter);
    void updateCursor(const QPoint& point);
    void refresh();

    std::unique_ptr<Ui::CRafoDlg> m_ui;
    ShowController& m_show;
    Rect m_screenRect;
    TrackerOverlay* m_overlay = nullptr;
    QIcon m_icon;
    DrawScreenPainter m_painter;
    QBasicTimer m_cycleTimer;
    QBasicTimer m_captionTimer;
    // Confetti when winners land, over the frame and never in the preview.
    Confetti m_confetti;
    QBasicTimer m_confettiTimer;
    QElapsedTimer m_clock;
    QBasicTimer m_landingTimer;
    long long m_landingIndex = -1;
    int m_landingPeriodMs = LandingFirstPeriodMs;
    long long m_cycleStart = -1;
    DrawScreenMenu m_menu;
    AudienceFrame m_frame;
    std::function<AudienceFrame::Watcher()> m_watcher;
    std::function<bool()> m_covered;
    bool m_rehearsal = false;
    QImage m_phoneCode;
    QString m_phoneUrl;
};

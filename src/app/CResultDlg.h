#pragma once

#include "app/AudienceFrame.h"
#include "app/ResultScreenParts.h"
#include "platform/Rect.h"

#include <QBasicTimer>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class CResultDlg;
}
class ShowController;
class TextScroll;

// The closing screen, a view of the show: the result music and the whole
// result scrolling up like closing credits until the operator clicks the exit zone.
class CResultDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ScrollPeriodMs = 200;

    // `scroll` outlives it, so a second opening continues where the first stopped.
    CResultDlg(ShowController& show, TextScroll& scroll, QWidget* parent = nullptr);
    ~CResultDlg() override;

    void OnInitDialog();
    unsigned lineCount() const { return m_parts ? m_parts->lines : 0; }
    // One step of the scroll, as the timer makes it.
    void OnTimer();
    // Who watches the frames painted (the console's preview), asked at every paint.
    void setFrameWatcher(std::function<AudienceFrame::Watcher()> watcher) { m_watcher = std::move(watcher); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void done(int result) override;

private:
    // The draw screen covers another area: so does this one.
    void coverScreen();
    void paintFrame(QPainter& painter);

    std::unique_ptr<Ui::CResultDlg> m_ui;
    ShowController& m_show;
    TextScroll& m_scroll;
    Rect m_screenRect;
    Rect m_exitRect;
    std::shared_ptr<ResultScreenParts> m_parts;
    QBasicTimer m_scrollTimer;
    AudienceFrame m_frame;
    std::function<AudienceFrame::Watcher()> m_watcher;
};

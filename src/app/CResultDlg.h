#pragma once

#include "app/AudienceFrame.h"
#include "app/StretchedPicture.h"
#include "app/SummaryLayout.h"
#include "areas/tstring.h"
#include "platform/Rect.h"

#include <QBasicTimer>
#include <QDialog>
#include <memory>

namespace Ui {
class CResultDlg;
}
class CRafoDlg;

// The closing screen: the result music and the whole result scrolling up
// like closing credits until the operator clicks the exit zone.
class CResultDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr const wchar_t* ResultPicture = L"Backimg\\result.jpg";
    static constexpr const wchar_t* ExitPicture = L"Backimg\\exit.jpg";
    static constexpr const wchar_t* ResultMusic = L"Music\\result.mp3";
    static constexpr int ScrollPeriodMs = 200;

    explicit CResultDlg(CRafoDlg& main);
    ~CResultDlg() override;

    void OnInitDialog();
    unsigned lineCount() const { return m_lineCount; }
    // One step of the scroll, as the timer makes it.
    void OnTimer();

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
    CRafoDlg& m_main;
    Rect m_screenRect;
    Rect m_exitRect;
    StretchedPicture m_resultImage;
    StretchedPicture m_exitImage;
    tstring m_summary;
    unsigned m_lineCount = 0;
    QString m_shownSummary;
    SummaryLayout m_layout;
    QBasicTimer m_scrollTimer;
    AudienceFrame m_frame;
};

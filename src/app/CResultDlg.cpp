#include "app/CResultDlg.h"

#include "app/DrawScreenPainter.h"
#include "app/TextScroll.h"
#include "areas/AreaFont.h"
#include "data/ResultExport.h"
#include "show/ShowController.h"
#include "ui_CResultDlg.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CResultDlg::CResultDlg(ShowController& show, TextScroll& scroll, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::CResultDlg>()),
      m_show(show), m_scroll(scroll)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_ui->IDOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(&show, &ShowController::screenChanged, this, &CResultDlg::coverScreen);
    connect(&show.session(), &DrawSession::blackoutChanged, this, qOverload<>(&QWidget::update));
}

CResultDlg::~CResultDlg() = default;

void CResultDlg::OnInitDialog()
{
    m_parts = m_show.session().takeResultScreenParts();
    coverScreen();
    m_show.player().Play(ResultScreenParts::ResultMusic, MusicPlayer::PlayOnce);
    m_scrollTimer.start(ScrollPeriodMs, this);
}

void CResultDlg::coverScreen()
{
    m_screenRect = Rect(0, 0, m_show.screen().width(), m_show.screen().height());
    m_exitRect = m_show.session().zones().exit;
    setGeometry(m_show.screen());
    update();
}

void CResultDlg::OnTimer()
{
    update();
}

void CResultDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_scrollTimer.timerId())
        OnTimer();
    else
        QDialog::timerEvent(event);
}

void CResultDlg::paintEvent(QPaintEvent* event)
{
    m_frame.paint(
        *this, event->region(),
        [this](QPainter& painter) {
            if (m_show.session().blackedOut())
                painter.fillRect(rect(), Qt::black);
            else
                paintFrame(painter);
        },
        m_watcher ? m_watcher() : AudienceFrame::Watcher());
}

void CResultDlg::paintFrame(QPainter& painter)
{
    painter.fillRect(rect(), Qt::black);
    m_parts->result.draw(painter, m_screenRect);
    m_parts->exit.draw(painter, m_exitRect);

    const CLottoryArea& area = m_show.session().areas().area(AreaResultLine);
    const QFont font = AreaFont::font(area.m_fontName, area.m_fontSize);
    // Qt spaces the lines it draws by the line spacing, so that is the height of a line here.
    const int lineHeight = QFontMetrics(font).lineSpacing();
    const Rect box = m_scroll.advance(m_screenRect, static_cast<int>(m_parts->lines) * lineHeight);
    m_parts->layout.prepare(m_parts->shown, font, box.width());
    painter.setPen(AreaFont::toQColor(area.m_fontColor));
    m_parts->layout.draw(painter, box);
    DrawScreenPainter::drawFingerprint(painter, m_screenRect, m_show.session().resultFingerprint());
}

void CResultDlg::mousePressEvent(QMouseEvent* event)
{
    if (m_show.session().blackedOut()) {
        m_show.setBlackedOut(false);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_exitRect.normalized().contains(p.x(), p.y())) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CResultDlg::keyPressEvent(QKeyEvent* event)
{
    if (m_show.takeBlackScreenKey(*event))
        return;
    // The hidden OK and Cancel buttons take Enter and Escape.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CResultDlg::done(int result)
{
    m_scrollTimer.stop();
    m_show.player().Stop();
    QDialog::done(result);
}

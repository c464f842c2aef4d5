#include "app/CRafoDlg.h"

#include "app/CAboutDlg.h"
#include "app/CResultDlg.h"
#include "app/ModalRunner.h"
#include "areas/CSimpleFontDialog.h"
#include "areas/TrackerOverlay.h"
#include "controls/CEditLottoryDlg.h"
#include "data/CAwakDlg.h"
#include "platform/MsgBox.h"
#include "ui_CRafoDlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CRafoDlg::CRafoDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::CRafoDlg>()),
      m_icon(QStringLiteral(":/rafo.png")), m_menu(this, [this](int id) { OnCommand(id); })
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The tracker's cursors follow the mouse without a button held.
    setMouseTracking(true);
    m_overlay = new TrackerOverlay(m_session.areas(), this);
    connect(m_ui->button1000, &QPushButton::clicked, this, [this] { OnCommand(IdStart); });
    connect(m_ui->button1001, &QPushButton::clicked, this, [this] { OnCommand(IdStop); });
    connect(&m_session, &DrawSession::changed, this, &CRafoDlg::refresh);
    connect(&m_session, &DrawSession::cyclingStarted, this, [this] {
        m_cycleStart = m_session.nextCycleStart();
        m_cycleTimer.start(CyclePeriodMs, Qt::PreciseTimer, this);
    });
    connect(&m_session, &DrawSession::cyclingStopped, this, [this] {
        m_cycleTimer.stop();
        m_cycleStart = -1;
    });
    connect(&m_session, &DrawSession::soundRequested, this,
            [this](const QString& path, int mode) { m_player.Play(path.toStdWString(), mode); });
    connect(&m_session, &DrawSession::resultScreenRequested, this, &CRafoDlg::ShowResultScreen);
}

CRafoDlg::~CRafoDlg()
{
    OnDestroy();
    m_player.Close();
}

void CRafoDlg::OnInitDialog()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    OnInitDialog(screen ? screen->geometry() : QRect(0, 0, 1920, 1080));
}

void CRafoDlg::OnInitDialog(const QRect& screen)
{
    m_initialised = true;
    setWindowIcon(m_icon);
    m_painter.loadPictures();
    // Positions are the window's own pixels; the window itself goes where the primary screen is.
    m_screenRect = Rect(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    m_session.open(m_screenRect.width(), m_screenRect.height());
    m_player.Play(DrawSession::InitMusic, MusicPlayer::PlayLoop);
    m_musicTimer.start(MusicPeriodMs, this);
    m_captionTimer.start(CaptionPeriodMs, this);
    tell();
}

void CRafoDlg::StartDraw()
{
    m_session.start();
    tell();
}

void CRafoDlg::StopDraw()
{
    m_session.stop();
    tell();
}

void CRafoDlg::ShowResultScreen()
{
    tell();
    CResultDlg dialog(*this);
    dialog.OnInitDialog();
    ModalRunner::exec(dialog);
    update();
}

// Start zone, Space and the hidden start button: after the last prize the
// start actions open the result screen again. A stored count beyond the
// table means the same: every prize of it is finished.
void CRafoDlg::startAction()
{
    m_session.startAction();
    tell();
}

void CRafoDlg::SetAreaFont(int index)
{
    const CLottoryArea& chosen = area(index);
    CSimpleFontDialog dialog(this);
    dialog.m_fontColor = chosen.m_fontColor;
    dialog.m_fontName = chosen.m_fontName;
    dialog.m_fontSize = chosen.m_fontSize;
    dialog.OnInitDialog();
    if (ModalRunner::exec(dialog) == QDialog::Accepted)
        m_session.areas().setFont(LastFont.faceName, LastFont.size, LastFont.color);
}

void CRafoDlg::OnCommand(int id)
{
    AreaEditor& areas = m_session.areas();
    switch (id) {
    case IdStart:
        if (!engine().running())
            StartDraw();
        break;
    case IdStop:
        if (engine().running())
            StopDraw();
        break;
    case IdEditPosition:
        areas.editPosition();
        break;
    case IdSetFont:
        if (areas.hasSelection()) {
            SetAreaFont(areas.selected());
            areas.setMode(AreaEditor::Mode::SetFont);
        }
        break;
    case IdHideText:
    case IdEffectFont:
        if (areas.hasSelection())
            areas.setMode(id == IdHideText ? AreaEditor::Mode::HideText : AreaEditor::Mode::EffectFont);
        break;
    case IdRedraw:
        m_session.restart("redraw");
        break;
    case IdEditParticipants: {
        CEditLottoryDlg editor(m_session, this);
        editor.OnInitDialog();
        ModalRunner::exec(editor);
        break;
    }
    case IdSettings:
        if (MsgBox::show(SettingsWarning, L"消息", MsgBox::OkCancel) == MsgBox::IdOk) {
            CAwakDlg settings(m_session, this);
            settings.OnInitDialog();
            ModalRunner::exec(settings);
        }
        break;
    case IdAbout: {
        CAboutDlg about(this);
        ModalRunner::exec(about);
        break;
    }
    case IdOk:
    case IdExit:
        accept();
        return;
    default:
        break;
    }
    if (!areas.editingPosition())
        unsetCursor();
    refresh();
    tell();
}

// The move and resize cursors belong to position editing only.
void CRafoDlg::updateCursor(const QPoint& point)
{
    const int hit = m_session.areas().hitTest(point.x(), point.y());
    if (hit == CRectTracker::hitNothing)
        unsetCursor();
    else
        setCursor(CRectTracker::cursorFor(hit));
}

void CRafoDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (startRect().normalized().contains(p.x(), p.y())) {
            if (!engine().running())
                startAction();
        } else if (stopRect().normalized().contains(p.x(), p.y())) {
            if (engine().running())
                StopDraw();
        } else if (m_session.areas().editingPosition()) {
            m_session.areas().press(p.x(), p.y());
            updateCursor(p);
            refresh();
        }
    } else if (event->button() == Qt::RightButton) {
        m_session.areas().select(p.x(), p.y());
        updateCursor(p);
        refresh();
        if (m_session.areas().hasSelection())
            openContextMenu(p, event->globalPosition().toPoint());
    }
    QDialog::mousePressEvent(event);
}

// An absent winner of the prize just drawn can be replaced from the menu.
void CRafoDlg::openContextMenu(const QPoint& point, const QPoint& globalPos)
{
    const int row = m_session.replaceableRowAt(point.x(), point.y());
    const tstring* absent = row >= 0 ? &engine().award(engine().current()).winners[size_t(row)] : nullptr;
    m_menu.popup(globalPos, absent, [this, row] { ReplaceAbsentWinner(row); });
}

void CRafoDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_session.areas().dragging()) {
        m_session.areas().drag(p.x(), p.y());
        refresh();
    } else {
        updateCursor(p);
    }
    QDialog::mouseMoveEvent(event);
}

void CRafoDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_session.areas().dragging()) {
        m_session.areas().release();
        updateCursor(event->position().toPoint());
        refresh();
    }
    QDialog::mouseReleaseEvent(event);
}

void CRafoDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_session.areas().dragging()) {
            m_session.areas().cancelDrag();
            refresh();
        }
        return;
    case Qt::Key_Space:
        if (engine().running())
            StopDraw();
        else
            startAction();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnCommand(IdOk);
        return;
    // A presentation clicker sends these: it turns the pages, and on the last
    // one does what Space does.
    case Qt::Key_PageDown:
        m_session.pageDown();
        tell();
        return;
    case Qt::Key_PageUp:
        m_session.pageUp();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CRafoDlg::reject()
{
    // Escape and closing the window never end the show; the exit command does.
}

void CRafoDlg::OnTimer(int timer)
{
    switch (timer) {
    // Every paint composes the whole screen, so the whole screen is shown
    // again: the caption runs past its area's edges and moves on every paint.
    case CycleTimer:
        m_cycleStart = m_session.nextCycleStart();
        update();
        break;
    case CaptionTimer:
        update();
        break;
    case MusicTimer:
        m_player.Poll();
        break;
    default:
        break;
    }
}

void CRafoDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_cycleTimer.timerId())
        OnTimer(CycleTimer);
    else if (event->timerId() == m_captionTimer.timerId())
        OnTimer(CaptionTimer);
    else if (event->timerId() == m_musicTimer.timerId())
        OnTimer(MusicTimer);
    else
        QDialog::timerEvent(event);
}

void CRafoDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawScreenFrame frame;
    frame.engine = &engine();
    frame.areas = &m_session.areas().areas();
    frame.screen = m_screenRect;
    frame.start = startRect();
    frame.stop = stopRect();
    frame.selectedArea = selectedArea();
    frame.cycleStart = m_cycleTimer.isActive() ? m_cycleStart : -1;
    frame.fingerprint = m_session.fingerprint();
    frame.wall = &m_session.wall();
    frame.page = m_session.page();
    frame.captionEpoch = m_session.captionEpoch();
    m_painter.paint(painter, frame);
}

void CRafoDlg::resizeEvent(QResizeEvent* event)
{
    m_overlay->setGeometry(rect());
    QDialog::resizeEvent(event);
}

void CRafoDlg::refresh()
{
    update();
    m_overlay->update();
}

void CRafoDlg::tell()
{
    for (const DrawSession::Notice& notice : m_session.takeNotices())
        MsgBox::show(notice.text, notice.caption);
}

void CRafoDlg::done(int result)
{
    OnDestroy();
    QDialog::done(result);
}

void CRafoDlg::OnDestroy()
{
    if (!m_initialised || m_destroyed)
        return;
    m_destroyed = true;
    m_cycleTimer.stop();
    m_captionTimer.stop();
    m_musicTimer.stop();
    m_session.close();
    tell();
}

void CRafoDlg::ReplaceAbsentWinner(int row)
{
    if (!engine().canReplace(row))
        return;
    const tstring absent = engine().award(engine().current()).winners[static_cast<size_t>(row)];
    if (MsgBox::show(absent + ReplaceQuestion, L"消息", MsgBox::OkCancel) != MsgBox::IdOk)
        return;
    if (m_session.replace(row) == DrawEngine::PoolEmpty)
        MsgBox::show(NobodyToReplace, L"消息", MsgBox::Ok);
    tell();
}

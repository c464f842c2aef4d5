#include "app/CRafoDlg.h"

#include "app/CAboutDlg.h"
#include "app/CResultDlg.h"
#include "app/ModalRunner.h"
#include "app/OperatorConsole.h"
#include "app/ProgramIcon.h"
#include "app/QtMessageBox.h"
#include "app/ScreenFollower.h"
#include "areas/CSimpleFontDialog.h"
#include "areas/TrackerOverlay.h"
#include "controls/CEditLottoryDlg.h"
#include "data/CAwakDlg.h"
#include "data/DrawData.h"
#include "platform/MsgBox.h"
#include "ui_CRafoDlg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CRafoDlg::CRafoDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::CRafoDlg>()),
      m_icon(ProgramIcon::icon()), m_menu(this, [this](int id) { OnCommand(id); })
{
    m_ui->setupUi(this);
    // Modal to nothing, so the operator's console beside it stays usable.
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The tracker's cursors follow the mouse without a button held.
    setMouseTracking(true);
    m_overlay = new TrackerOverlay(m_session.areas(), this);
    connect(m_ui->button1000, &QPushButton::clicked, this, [this] { OnCommand(IdStart); });
    connect(m_ui->button1001, &QPushButton::clicked, this, [this] { OnCommand(IdStop); });
    m_session.onAnyChange(this, [this] { refresh(); });
    connect(&m_session, &DrawSession::cycleStarted, this, [this] {
        m_cycleStart = m_session.nextCycleStart();
        m_cycleTimer.start(CyclePeriodMs, Qt::PreciseTimer, this);
    });
    connect(&m_session, &DrawSession::cycleStopped, this, [this] {
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
    QtMessageBox::setOwner(nullptr);
    m_player.Close();
}

void CRafoDlg::OnInitDialog()
{
    m_follower = std::make_unique<ScreenFollower>(DisplayScreen());
    const QRect geometry = m_follower->geometry();
    OnInitDialog(geometry.isEmpty() ? QRect(0, 0, 1920, 1080) : geometry);
    m_screenCount = QGuiApplication::screens().size();
    connect(m_follower.get(), &ScreenFollower::geometryChanged, this, &CRafoDlg::coverScreen);
}

void CRafoDlg::OnInitDialog(const QRect& screen)
{
    m_initialised = true;
    setWindowIcon(m_icon);
    m_painter.loadPictures();
    // Positions are the window's own pixels; the window itself goes where its screen is.
    m_screenRect = Rect(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    m_session.open(m_screenRect.width(), m_screenRect.height());
    m_soundAvailable = MusicPlayer::outputAvailable();
    m_player.Play(DrawSession::InitMusic, MusicPlayer::PlayLoop);
    m_musicTimer.start(MusicPeriodMs, this);
    m_captionTimer.start(CaptionPeriodMs, this);
    // What the start found wrong goes to the operator's screen when there is one.
    if (m_follower && m_follower->otherScreen())
        openConsole();
    tell();
}

void CRafoDlg::coverScreen(const QRect& screen)
{
    if (screen.isEmpty())
        return;
    m_screenRect = Rect(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    m_session.followScreen(screen.width(), screen.height());
    emit screenChanged();
    refresh();
    // A projector plugged in late: the laptop's screen becomes the console's.
    const qsizetype screens = QGuiApplication::screens().size();
    if (m_follower && screens > m_screenCount && m_follower->otherScreen()) {
        if (m_console)
            placeConsole();
        openConsole();
    }
    m_screenCount = screens;
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
    // The console's 开始 can ask for it while it is open.
    if (m_result)
        return;
    CResultDlg dialog(*this);
    m_result = &dialog;
    // It holds the draw screen only, not the console.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.OnInitDialog();
    ModalRunner::exec(dialog);
    m_result = nullptr;
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
    CSimpleFontDialog dialog(dialogParent());
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
    case IdRedraw: {
        // One click must not throw away the event's winners: it asks, No by default.
        const std::size_t drawn = engine().winnersDrawn();
        if (drawn == 0 || MsgBox::show(RedrawQuestion[0] + std::to_wstring(drawn) + RedrawQuestion[1],
                                       L"消息", MsgBox::YesNo | MsgBox::DefaultSecond) == MsgBox::IdYes)
            m_session.restart("redraw");
        break;
    }
    case IdEditParticipants: {
        CEditLottoryDlg editor(m_session, dialogParent());
        editor.OnInitDialog();
        ModalRunner::exec(editor);
        break;
    }
    case IdSettings:
        if (MsgBox::show(SettingsWarning, L"消息", MsgBox::OkCancel) == MsgBox::IdOk) {
            CAwakDlg settings(m_session, dialogParent());
            settings.OnInitDialog();
            ModalRunner::exec(settings);
        }
        break;
    case IdAbout: {
        CAboutDlg about(dialogParent());
        ModalRunner::exec(about);
        break;
    }
    case IdConsole:
        openConsole();
        break;
    case IdOk:
    case IdExit:
        // The console's 退出 while the result screen runs ends both.
        if (m_result)
            m_result->accept();
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
    if (m_session.blackedOut()) {
        setBlackScreen(false);
        return;
    }
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

bool CRafoDlg::takeBlackScreenKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (m_session.blackedOut()) {
        // The Shift of Shift+F5 is not yet a key.
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            setBlackScreen(false);
        return true;
    }
    if (key != Qt::Key_B && key != Qt::Key_Period)
        return false;
    setBlackScreen(true);
    return true;
}

void CRafoDlg::setBlackScreen(bool on)
{
    m_session.setBlackedOut(on);
}

void CRafoDlg::pageDown()
{
    m_session.pageDown();
    tell();
}

void CRafoDlg::pageUp()
{
    m_session.pageUp();
}

bool CRafoDlg::takeClickerKey(const QKeyEvent& event)
{
    if (takeBlackScreenKey(event))
        return true;
    switch (event.key()) {
    // A presentation clicker sends these: it turns the pages, and on the last
    // one does what Space does. A held key runs through nothing.
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        if (!event.isAutoRepeat())
            pageDown();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        if (!event.isAutoRepeat())
            pageUp();
        return true;
    // A clicker's "start the slide show" would otherwise surprise.
    case Qt::Key_F5:
        return true;
    default:
        return false;
    }
}

void CRafoDlg::keyPressEvent(QKeyEvent* event)
{
    if (takeClickerKey(*event))
        return;
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
    // The result screen covers it; the console shows that one's frames then.
    if (m_result && m_console && m_console->isVisible()) {
        QPainter(this).fillRect(rect(), Qt::black);
        return;
    }
    paintAudience(*this, m_frame, [this](QPainter& painter) { paintFrame(painter); });
}

void CRafoDlg::paintAudience(QWidget& target, AudienceFrame& frame,
                             const std::function<void(QPainter&)>& compose)
{
    const bool watched = m_console && m_console->isVisible();
    OperatorConsole* console = m_console.get();
    const auto blackOrCompose = [this, &compose, &target](QPainter& painter) {
        if (m_session.blackedOut())
            painter.fillRect(target.rect(), Qt::black);
        else
            compose(painter);
    };
    frame.paint(target, blackOrCompose,
                watched
                    ? AudienceFrame::Watcher([console](const QImage& image) { console->showFrame(image); })
                    : AudienceFrame::Watcher());
}

void CRafoDlg::paintFrame(QPainter& painter)
{
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
    m_overlay->setVisible(!m_session.blackedOut());
    m_overlay->update();
}

void CRafoDlg::openConsole()
{
    if (!m_console) {
        m_console = std::make_unique<OperatorConsole>(*this);
        placeConsole();
    }
    QtMessageBox::setOwner(m_console.get());
    m_console->show();
    m_console->raise();
    m_console->activateWindow();
}

// On the other screen when there is one, else in the middle of the show's.
void CRafoDlg::placeConsole()
{
    const QScreen* other = m_follower ? m_follower->otherScreen() : nullptr;
    const QRect area = other ? other->availableGeometry() : geometry();
    const QSize size = m_console->sizeHint().expandedTo(QSize(1200, 760)).boundedTo(area.size() * 0.9);
    m_console->resize(size);
    m_console->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QWidget* CRafoDlg::dialogParent()
{
    if (m_console && m_console->isVisible())
        return m_console.get();
    return this;
}

void CRafoDlg::tell()
{
    for (const DrawSession::Notice& notice : m_session.takeNotices())
        MsgBox::show(notice.text, notice.caption);
}

void CRafoDlg::endShow()
{
    // Nobody is there to answer: a question gets its safe answer, a message is passed over.
    MsgBox::setHandler([](const std::wstring&, const std::wstring&, unsigned buttons) {
        switch (buttons & 0xF) {
        case MsgBox::OkCancel:
            return int(MsgBox::IdCancel);
        case MsgBox::YesNo:
            return int(MsgBox::IdNo);
        case MsgBox::YesNoCancel:
            return int(MsgBox::IdCancel);
        default:
            return int(MsgBox::IdOk);
        }
    });
    OnDestroy();
    // Every dialog's and menu's loop ends, then the draw screen's.
    QCoreApplication::exit(0);
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

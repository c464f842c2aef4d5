#include "app/CRafoDlg.h"

#include "app/ProgramIcon.h"
#include "app/Rehearsal.h"
#include "areas/TrackerOverlay.h"
#include "live/QrCode.h"
#include "show/ShowController.h"
#include "ui_CRafoDlg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CRafoDlg::CRafoDlg(ShowController& show, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::CRafoDlg>()),
      m_show(show), m_icon(ProgramIcon::icon()), m_painter(show.session().folder()),
      m_menu(this, [this](int id) { OnCommand(id); })
{
    m_ui->setupUi(this);
    m_clock.start();
    // Modal to nothing, so the operator's console beside it stays usable.
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The tracker's cursors follow the mouse without a button held.
    setMouseTracking(true);
    m_overlay = new TrackerOverlay(areas(), this);
    connect(m_ui->button1000, &QPushButton::clicked, this, [this] { OnCommand(ShowCommand::IdStart); });
    connect(m_ui->button1001, &QPushButton::clicked, this, [this] { OnCommand(ShowCommand::IdStop); });
    session().onAnyChange(this, [this] { refresh(); });
    connect(&session(), &DrawSession::cycleStarted, this, [this] {
        m_cycleStart = session().nextCycleStart();
        m_cycleTimer.start(CyclePeriodMs, Qt::PreciseTimer, this);
    });
    connect(&session(), &DrawSession::cycleStopped, this, [this] {
        m_cycleTimer.stop();
        m_cycleStart = -1;
    });
    connect(&session(), &DrawSession::prizeDrawn, this, [this] {
        m_painter.winnersCame();
        if (session().showsEffects()) {
            m_confetti.start(m_clock.elapsed(), m_screenRect);
            m_confettiTimer.start(ConfettiPeriodMs, this);
        }
    });
    connect(&session(), &DrawSession::winnerReplaced, this, [this] { m_painter.winnersCame(); });
    // A winner shown one at a time lands from the running names, slowing down.
    connect(&session(), &DrawSession::revealChanged, this, [this] {
        m_landingPeriodMs = LandingFirstPeriodMs;
        if (session().reveal().landing())
            landingStep();
        else
            m_landingTimer.stop();
    });
    connect(&show, &ShowController::screenChanged, this, &CRafoDlg::coverScreen);
}

CRafoDlg::~CRafoDlg() = default;

DrawSession& CRafoDlg::session()
{
    return m_show.session();
}

const DrawEngine& CRafoDlg::engine() const
{
    return m_show.engine();
}

AreaEditor& CRafoDlg::areas()
{
    return m_show.session().areas();
}

const AreaEditor& CRafoDlg::areas() const
{
    return m_show.session().areas();
}

const CLottoryArea& CRafoDlg::area(int index) const
{
    return areas().area(index);
}

const Rect& CRafoDlg::startRect() const
{
    return m_show.session().zones().start;
}

const Rect& CRafoDlg::stopRect() const
{
    return m_show.session().zones().stop;
}

int CRafoDlg::selectedArea() const
{
    return areas().selected();
}

AreaEditor::Mode CRafoDlg::areaMode() const
{
    return areas().mode();
}

void CRafoDlg::OnInitDialog(const QRect& screen)
{
    setWindowIcon(m_icon);
    m_painter.loadPictures();
    coverScreen(screen);
    m_captionTimer.start(CaptionPeriodMs, this);
}

// Positions are the window's own pixels; the window itself goes where its screen is.
void CRafoDlg::coverScreen(const QRect& screen)
{
    if (screen.isEmpty())
        return;
    m_screenRect = Rect(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    refresh();
}

void CRafoDlg::StartDraw()
{
    m_show.start();
}

void CRafoDlg::StopDraw()
{
    m_show.stop();
}

void CRafoDlg::OnCommand(int id)
{
    AreaEditor& editor = areas();
    switch (id) {
    case ShowCommand::IdStart:
        if (!engine().running())
            m_show.start();
        break;
    case ShowCommand::IdStop:
        m_show.stop();
        break;
    case ShowCommand::IdEditPosition:
        editor.editPosition();
        session().areaEdited(editor.selected());
        break;
    case ShowCommand::IdSetFont:
        if (editor.hasSelection()) {
            emit dialogRequested(id);
            editor.setMode(AreaEditor::Mode::SetFont);
        }
        break;
    case ShowCommand::IdHideText:
    case ShowCommand::IdEffectFont:
        if (editor.hasSelection())
            editor.setMode(id == ShowCommand::IdHideText ? AreaEditor::Mode::HideText
                                                         : AreaEditor::Mode::EffectFont);
        break;
    case ShowCommand::IdRedraw:
        m_show.redraw();
        break;
    case ShowCommand::IdEditParticipants:
    case ShowCommand::IdSettings:
    case ShowCommand::IdAbout:
    case ShowCommand::IdConsole:
    case ShowCommand::IdPhonePage:
    case ShowCommand::IdExportCheckinCodes:
    case ShowCommand::IdExportAttendance:
    case ShowCommand::IdRehearse:
        emit dialogRequested(id);
        break;
    case ShowCommand::IdOk:
    case ShowCommand::IdExit:
        m_show.exit();
        return;
    default:
        break;
    }
    if (!editor.editingPosition())
        unsetCursor();
    refresh();
    m_show.tell();
}

// The move and resize cursors belong to position editing only.
void CRafoDlg::updateCursor(const QPoint& point)
{
    const int hit = areas().hitTest(point.x(), point.y());
    if (hit == CRectTracker::hitNothing)
        unsetCursor();
    else
        setCursor(CRectTracker::cursorFor(hit));
}

void CRafoDlg::showPhoneCode(const QImage& code, const QString& url)
{
    m_phoneCode = code;
    m_phoneUrl = url;
    update();
    emit phoneCodeChanged();
}

void CRafoDlg::mousePressEvent(QMouseEvent* event)
{
    // Like the black screen, a click while the code is up only takes it away.
    if (phoneCodeShown()) {
        showPhoneCode(QImage(), QString());
        return;
    }
    if (session().blackedOut()) {
        m_show.setBlackedOut(false);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (startRect().normalized().contains(p.x(), p.y())) {
            m_show.startAction();
        } else if (stopRect().normalized().contains(p.x(), p.y())) {
            m_show.stop();
        } else if (areas().editingPosition()) {
            areas().press(p.x(), p.y());
            updateCursor(p);
            refresh();
        }
    } else if (event->button() == Qt::RightButton) {
        // A drag the right button ends is kept.
        const int edited = areas().selected();
        areas().select(p.x(), p.y());
        updateCursor(p);
        session().areaEdited(edited);
        if (areas().hasSelection())
            openContextMenu(p, event->globalPosition().toPoint());
    }
    QDialog::mousePressEvent(event);
}

// An absent winner of the prize just drawn can be replaced from the menu.
void CRafoDlg::openContextMenu(const QPoint& point, const QPoint& globalPos)
{
    const int row = session().replaceableRowAt(point.x(), point.y());
    const tstring* absent = row >= 0 ? &engine().award(engine().current()).winners[size_t(row)] : nullptr;
    m_menu.popup(globalPos, absent, [this, row] { m_show.replace(row); });
}

void CRafoDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (areas().dragging()) {
        areas().drag(p.x(), p.y());
        session().areaEdited(areas().selected());
    } else {
        updateCursor(p);
    }
    QDialog::mouseMoveEvent(event);
}

void CRafoDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && areas().dragging()) {
        areas().release();
        updateCursor(event->position().toPoint());
        session().areaEdited(areas().selected());
    }
    QDialog::mouseReleaseEvent(event);
}

void CRafoDlg::keyPressEvent(QKeyEvent* event)
{
    if (phoneCodeShown()) {
        showPhoneCode(QImage(), QString());
        return;
    }
    if (event->key() == Qt::Key_Q) {
        emit dialogRequested(ShowCommand::IdPhoneCode);
        return;
    }
    if (m_show.takeClickerKey(*event))
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (areas().dragging()) {
            areas().cancelDrag();
            session().areaEdited(areas().selected());
        }
        return;
    case Qt::Key_Space:
        m_show.space();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The hall watches a witnessed draw: a stray Enter must not end the show.
        if (!session().witnessing())
            OnCommand(ShowCommand::IdOk);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CRafoDlg::reject()
{
    // Escape and closing the window never end the show; the exit command does.
}

void CRafoDlg::done(int result)
{
    m_cycleTimer.stop();
    m_captionTimer.stop();
    m_confettiTimer.stop();
    m_landingTimer.stop();
    m_show.close();
    QDialog::done(result);
}

void CRafoDlg::OnTimer(int timer)
{
    // A caption step shows the whole screen again, so nothing the show
    // changed stays stale for longer; a cycling frame, sixty a second, shows
    // only what moves between two: the names and the caption, which moves on
    // every paint and runs past its area's sides to the screen's edges.
    if (timer == CycleTimer) {
        m_cycleStart = session().nextCycleStart();
        const Rect caption = area(AreaResultLine).m_rect.normalized();
        update(QRegion(area(AreaScroll).m_rect.normalized().toQRect()) +
               QRect(0, caption.top, width(), caption.height()));
    } else {
        update();
    }
}

void CRafoDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_cycleTimer.timerId())
        OnTimer(CycleTimer);
    else if (event->timerId() == m_captionTimer.timerId())
        OnTimer(CaptionTimer);
    else if (event->timerId() == m_confettiTimer.timerId())
        confettiStep();
    else if (event->timerId() == m_landingTimer.timerId())
        landingStep();
    else
        QDialog::timerEvent(event);
}

void CRafoDlg::paintEvent(QPaintEvent* event)
{
    // The result screen covers it; the console shows that one's frames then.
    if (m_covered && m_covered()) {
        QPainter(this).fillRect(rect(), Qt::black);
        return;
    }
    m_frame.paint(
        *this, event->region(),
        [this](QPainter& painter) {
            if (session().blackedOut()) {
                painter.fillRect(rect(), Qt::black);
            } else {
                paintFrame(painter);
                if (m_rehearsal)
                    DrawScreenPainter::drawMark(painter, m_screenRect, QString::fromUtf8(Rehearsal::Mark));
                QrCode::paintCard(painter, m_phoneCode, m_phoneUrl, rect());
            }
        },
        m_watcher ? m_watcher() : AudienceFrame::Watcher());
    // Over the frame as the hall sees it; the console's preview stays calm.
    if (!session().blackedOut() && confettiFalling()) {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        m_confetti.paint(painter, m_clock.elapsed(), area(AreaScroll).m_rect);
    }
}

void CRafoDlg::landingStep()
{
    m_landingIndex = session().nextCycleStart();
    m_landingTimer.start(m_landingPeriodMs, this);
    m_landingPeriodMs = std::min(LandingLastPeriodMs, m_landingPeriodMs * 6 / 5);
    update();
}

void CRafoDlg::confettiStep()
{
    if (!confettiFalling()) {
        m_confettiTimer.stop();
        m_confetti.stop();
    }
    update();
}

void CRafoDlg::paintFrame(QPainter& painter)
{
    DrawScreenFrame frame;
    frame.engine = &engine();
    frame.areas = &areas().areas();
    frame.screen = m_screenRect;
    frame.start = startRect();
    frame.stop = stopRect();
    frame.selectedArea = selectedArea();
    frame.cycleStart = m_cycleTimer.isActive() ? m_cycleStart : -1;
    frame.fingerprint = session().fingerprint();
    frame.wall = &session().wall();
    frame.page = session().page();
    frame.witness = &session().witness();
    frame.keepPictureAspect = session().keepsPictureAspect();
    const int current = engine().current();
    if (engine().isCurrentPrize() && session().reveal().pending(current)) {
        frame.shownWinners = session().shownWinners(current);
        frame.landingName = session().reveal().landing() && m_landingIndex >= 0 && !engine().pool().empty()
                                ? engine().pool().text(size_t(m_landingIndex) % engine().pool().size())
                                : QString();
        frame.revealNumber = std::max(frame.shownWinners, session().reveal().landingNumber());
        frame.revealCount = static_cast<int>(engine().award(current).winners.size());
    }
    // The console tells the operator of a refused stop; without one, the screen does.
    frame.witnessRefusal = !(m_watcher && m_watcher());
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
    m_overlay->setVisible(!session().blackedOut());
    m_overlay->update();
}

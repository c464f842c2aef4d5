#include "app/CRafoDlg.h"

#include "app/CAboutDlg.h"
#include "app/CResultDlg.h"
#include "app/ModalRunner.h"
#include "data/DrawData.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"
#include "data/ScreenLayout.h"
#include "platform/MsgBox.h"
#include "ui_CRafoDlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CRafoDlg::CRafoDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_ui(std::make_unique<Ui::CRafoDlg>()),
      m_icon(QStringLiteral(":/rafo.png"))
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_ui->button1000, &QPushButton::clicked, this, [this] { OnCommand(IdStart); });
    connect(m_ui->button1001, &QPushButton::clicked, this, [this] { OnCommand(IdStop); });
    buildContextMenu();
    for (auto& area : m_areas)
        area = std::make_unique<CLottoryArea>();
}

CRafoDlg::~CRafoDlg()
{
    OnDestroy();
    m_player.Close();
}

void CRafoDlg::buildContextMenu()
{
    struct Entry
    {
        int id;
        const char* text;
        bool enabled;
    };
    static const Entry entries[] = {
        {IdEditPosition, "编辑位置", true},
        {IdSetFont, "设置字体", true},
        {IdHideText, "隐藏文字", false},
        {IdEffectFont, "特效字体", false},
        {IdRedraw, "重新抽奖", true},
        {IdEditParticipants, "编辑抽奖人名单", true},
        {IdSettings, "主副标题/奖项设置", true},
        {IdAbout, "关于 rafo...", true},
        {IdExit, "退出", true},
    };
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("menu129"));
    for (const Entry& entry : entries) {
        QAction* action = m_menu->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QStringLiteral("command%1").arg(entry.id));
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); });
    }
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
    CreateAreas(m_areas);
    LoadDrawData();
    const HotZones zones = ScaleScreenLayout(m_areas, m_screenRect.width(), m_screenRect.height());
    m_startRect = zones.start;
    m_stopRect = zones.stop;
    m_exitRect = zones.exit;
    RestoreResults(m_engine);
    m_player.Play(InitMusic, MusicPlayer::PlayLoop);
    m_musicTimer.start(MusicPeriodMs, this);
    m_captionTimer.start(CaptionPeriodMs, this);
}

void CRafoDlg::StartDraw()
{
    m_engine.StartDraw();
    update();
}

void CRafoDlg::StopDraw()
{
    m_engine.StopDraw();
    update();
}

void CRafoDlg::LoadDrawData()
{
    stopCycleTimer();
    ::LoadDrawData(m_engine, m_participantEncoding);
    update();
}

void CRafoDlg::ShowResultScreen()
{
    CResultDlg dialog(*this);
    dialog.OnInitDialog();
    ModalRunner::exec(dialog);
    update();
}

void CRafoDlg::BuildResultText(tstring& text, unsigned& lines) const
{
    ::BuildResultText(area(AreaMainTitle).m_titleName, area(AreaSubTitle).m_titleName, m_engine.m_awards,
                      text, lines);
}

// Start zone, Space and the hidden start button: after the last prize the
// start actions open the result screen again. A stored count beyond the
// table means the same: every prize of it is finished.
void CRafoDlg::startAction()
{
    if (m_engine.m_current >= m_engine.prizeCount())
        ShowResultScreen();
    else
        StartDraw();
}

void CRafoDlg::OnCommand(int id)
{
    switch (id) {
    case IdStart:
        if (!m_engine.m_running)
            StartDraw();
        break;
    case IdStop:
        if (m_engine.m_running)
            StopDraw();
        break;
    case IdHideText:
    case IdEffectFont:
        if (m_selectedArea >= 0 && m_selectedArea < AreaCount)
            m_areaMode = id == IdHideText ? 2 : 3;
        break;
    case IdRedraw:
        LoadDrawData();
        break;
    case IdSettings:
        MsgBox::show(SettingsWarning, L"消息", MsgBox::OkCancel);
        break;
    case IdAbout: {
        CAboutDlg about(this);
        ModalRunner::exec(about);
        break;
    }
    case IdOk:
    case IdExit:
        accept();
        break;
    default:
        break;
    }
}

int CRafoDlg::areaAt(const QPoint& point) const
{
    for (int i = 0; i < AreaCount; ++i) {
        if (m_areas[static_cast<size_t>(i)]->m_rect.normalized().contains(point.x(), point.y()))
            return i;
    }
    return -1;
}

void CRafoDlg::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (m_startRect.normalized().contains(p.x(), p.y())) {
            if (!m_engine.m_running)
                startAction();
        } else if (m_stopRect.normalized().contains(p.x(), p.y())) {
            if (m_engine.m_running)
                StopDraw();
        }
    } else if (event->button() == Qt::RightButton) {
        m_selectedArea = areaAt(p);
        if (m_selectedArea >= 0)
            ModalRunner::popup(*m_menu, event->globalPosition().toPoint());
    }
    QDialog::mousePressEvent(event);
}

void CRafoDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return;
    case Qt::Key_Space:
        if (m_engine.m_running)
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
        m_cycleStart = m_engine.nextCycleStart();
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
    frame.engine = &m_engine;
    frame.areas = &m_areas;
    frame.screen = m_screenRect;
    frame.start = m_startRect;
    frame.stop = m_stopRect;
    frame.selectedArea = m_selectedArea;
    frame.cycleStart = m_cycleTimer.isActive() ? m_cycleStart : -1;
    m_painter.paint(painter, frame);
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
    SaveResults(m_engine);
}

void CRafoDlg::playMusic(const tstring& path, int mode)
{
    m_player.Play(path, mode);
}

void CRafoDlg::startCycleTimer()
{
    m_cycleStart = m_engine.nextCycleStart();
    m_cycleTimer.start(CyclePeriodMs, Qt::PreciseTimer, this);
}

void CRafoDlg::stopCycleTimer()
{
    m_cycleTimer.stop();
    m_cycleStart = -1;
}

void CRafoDlg::repaintAll()
{
    update();
}

void CRafoDlg::showResultScreen()
{
    ShowResultScreen();
}

void CRafoDlg::exportResults()
{
    ExportResults(area(AreaMainTitle).m_titleName, area(AreaSubTitle).m_titleName, m_engine.m_awards,
                  m_participantEncoding);
}

void CRafoDlg::storeResults()
{
    KeepResults(m_engine);
}

#include "app/CRafoDlg.h"

#include "app/CAboutDlg.h"
#include "app/CResultDlg.h"
#include "app/ModalRunner.h"
#include "app/PoolDigest.h"
#include "areas/CSimpleFontDialog.h"
#include "controls/CEditLottoryDlg.h"
#include "data/CAwakDlg.h"
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
    // The tracker's cursors follow the mouse without a button held.
    setMouseTracking(true);
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
    m_journal.open();
    m_painter.loadPictures();
    // Positions are the window's own pixels; the window itself goes where the primary screen is.
    m_screenRect = Rect(0, 0, screen.width(), screen.height());
    setGeometry(screen);
    CreateAreas(m_areas);
    m_settings.areasSaved(m_areas);
    LoadDrawData();
    // The list as read is kept before the restore takes the winners out; a
    // million names are not copied for it.
    const std::size_t participants = m_engine.m_pool.size();
    const QString participantsDigest = m_journal.keepList(m_engine.m_pool);
    const HotZones zones =
        ScaleScreenLayout(m_areas, m_screenRect.width(), m_screenRect.height(), m_settings);
    m_startRect = zones.start;
    m_stopRect = zones.stop;
    m_exitRect = zones.exit;
    RestoreResults(m_engine);
    journalStart("launch", participants, participantsDigest);
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

// A prize table the file could not take yet is the one the show goes on with.
void CRafoDlg::LoadDrawData()
{
    stopCycleTimer();
    writeSettings();
    if (::LoadDrawData(m_engine, m_participantEncoding) && m_settings.owedPrizes())
        m_engine.m_awards = *m_settings.owedPrizes();
    update();
}

void CRafoDlg::ShowResultScreen()
{
    m_journal.append(QStringLiteral("result screen"), QJsonObject());
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

void CRafoDlg::SetAreaFont(CLottoryArea& area, int index)
{
    CSimpleFontDialog dialog(this);
    dialog.m_fontColor = area.m_fontColor;
    dialog.m_fontName = area.m_fontName;
    dialog.m_fontSize = area.m_fontSize;
    dialog.OnInitDialog();
    if (ModalRunner::exec(dialog) != QDialog::Accepted)
        return;
    area.m_fontSize = LastFont.size;
    area.m_fontColor = LastFont.color;
    area.m_fontName = LastFont.faceName;
    m_settings.layoutChanged(index);
    writeSettings();
}

void CRafoDlg::OnCommand(int id)
{
    const bool selected = m_selectedArea >= 0 && m_selectedArea < AreaCount;
    switch (id) {
    case IdStart:
        if (!m_engine.m_running)
            StartDraw();
        break;
    case IdStop:
        if (m_engine.m_running)
            StopDraw();
        break;
    case IdEditPosition:
        if (selected) {
            setAreaMode(0);
            m_tracker.m_rect = area(m_selectedArea).m_rect;
            update();
        }
        break;
    case IdSetFont:
        if (selected) {
            SetAreaFont(*m_areas[static_cast<size_t>(m_selectedArea)], m_selectedArea);
            setAreaMode(1);
            update();
        }
        break;
    case IdHideText:
    case IdEffectFont:
        if (selected)
            setAreaMode(id == IdHideText ? 2 : 3);
        break;
    case IdRedraw:
        restartDraw("redraw");
        break;
    case IdEditParticipants: {
        CEditLottoryDlg editor(*this, this);
        editor.OnInitDialog();
        ModalRunner::exec(editor);
        break;
    }
    case IdSettings:
        if (MsgBox::show(SettingsWarning, L"消息", MsgBox::OkCancel) == MsgBox::IdOk) {
            CAwakDlg settings(*this, this);
            settings.OnInitDialog();
            ModalRunner::exec(settings);
            update();
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

bool CRafoDlg::editingPosition() const
{
    return m_areaMode == 0 && m_selectedArea >= 0 && m_selectedArea < AreaCount;
}

void CRafoDlg::setAreaMode(int mode)
{
    m_areaMode = mode;
    if (!editingPosition()) {
        m_tracker.cancelTrack();
        unsetCursor();
    }
}

// The move and resize cursors belong to position editing only.
void CRafoDlg::updateCursor(const QPoint& point)
{
    const int hit = editingPosition() ? m_tracker.HitTest(point.x(), point.y()) : CRectTracker::hitNothing;
    if (hit == CRectTracker::hitNothing)
        unsetCursor();
    else
        setCursor(CRectTracker::cursorFor(hit));
}

void CRafoDlg::leftClickWhileEditing(const QPoint& point)
{
    if (area(m_selectedArea).m_rect.normalized().contains(point.x(), point.y())) {
        m_tracker.beginTrack(point.x(), point.y());
    } else {
        setAreaMode(-1);
        m_selectedArea = -1;
    }
    update();
}

void CRafoDlg::saveEditedLayouts()
{
    m_layoutSavePending = false;
    writeSettings();
}

bool CRafoDlg::writeSettings()
{
    return m_settings.write(m_areas);
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
        } else if (editingPosition()) {
            leftClickWhileEditing(p);
        }
    } else if (event->button() == Qt::RightButton) {
        m_tracker.cancelTrack();
        const int hit = areaAt(p);
        // The tracker's rectangle belongs to the area it was started for.
        if (editingPosition() && hit != m_selectedArea)
            setAreaMode(-1);
        m_selectedArea = hit;
        update();
        if (m_selectedArea >= 0) {
            // An absent winner of the prize just drawn can be replaced from here.
            const int row = replaceableRowAt(p);
            QList<QAction*> added;
            if (row >= 0) {
                const tstring& name =
                    m_engine.m_awards[static_cast<size_t>(m_engine.m_current)].winners[size_t(row)];
                added << m_menu->addSeparator()
                      << m_menu->addAction(QString::fromStdWString(ReplaceEntry + name));
                added.last()->setObjectName(QStringLiteral("replaceAbsent"));
                connect(added.last(), &QAction::triggered, this, [this, row] { ReplaceAbsentWinner(row); });
            }
            ModalRunner::popup(*m_menu, event->globalPosition().toPoint());
            qDeleteAll(added);
        }
    }
    QDialog::mousePressEvent(event);
}

void CRafoDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (m_tracker.isTracking()) {
        m_tracker.trackTo(p.x(), p.y());
        update();
    } else {
        updateCursor(p);
    }
    QDialog::mouseMoveEvent(event);
}

void CRafoDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_tracker.isTracking()) {
        m_tracker.endTrack();
        updateCursor(event->position().toPoint());
        update();
    }
    QDialog::mouseReleaseEvent(event);
}

void CRafoDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_tracker.isTracking()) {
            m_tracker.cancelTrack();
            update();
        }
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
    CLottoryArea* edited = editingPosition() ? m_areas[static_cast<size_t>(m_selectedArea)].get() : nullptr;
    if (edited)
        edited->m_rect = m_tracker.GetTrueRect();
    m_painter.paint(painter, frame);
    if (!edited)
        return;
    m_tracker.Draw(&painter);
    // The file is written outside the paint, once the drag is over and only
    // when the area really changed; a failed write waits for the next change.
    if (!m_tracker.isTracking() && !m_layoutSavePending &&
        m_settings.changedSinceLastTry(m_selectedArea, *edited)) {
        m_layoutSavePending = true;
        QMetaObject::invokeMethod(this, &CRafoDlg::saveEditedLayouts, Qt::QueuedConnection);
    }
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
    // A drag still held when the show ends stays where the operator left it.
    if (editingPosition() && m_tracker.isTracking()) {
        m_tracker.endTrack();
        m_areas[static_cast<size_t>(m_selectedArea)]->m_rect = m_tracker.GetTrueRect();
    }
    saveEditedLayouts();
    keepResults(true);
    if (m_exportOwed)
        exportResults();
    m_journal.append(QStringLiteral("exit"), QJsonObject());
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
    m_exportOwed = !ExportResults(area(AreaMainTitle).m_titleName, area(AreaSubTitle).m_titleName,
                                  m_engine.m_awards, m_participantEncoding);
}

void CRafoDlg::storeResults()
{
    keepResults();
}

// The exit stores even where the stops did not (a missing store is told then).
void CRafoDlg::keepResults(bool atExit)
{
    const bool stored = atExit ? SaveResults(m_engine) : KeepResults(m_engine);
    if (!stored && ResultStoreExists())
        m_journal.append(QStringLiteral("store failed"), QJsonObject{{"file", "AwardResult.ini"}});
}

const std::vector<AwardItem>& CRafoDlg::awards() const
{
    return m_engine.m_awards;
}

void CRafoDlg::appendPrize(const AwardItem& item)
{
    m_engine.appendPrize(item);
    prizeTableChanged();
}

void CRafoDlg::removePrize(int index)
{
    m_engine.removePrize(index);
    prizeTableChanged();
}

bool CRafoDlg::canMovePrize(int from, int to) const
{
    return m_engine.canMovePrize(from, to);
}

void CRafoDlg::movePrize(int from, int to)
{
    m_engine.movePrize(from, to);
    prizeTableChanged();
}

void CRafoDlg::changePrize(int index, const AwardItem& item)
{
    if (index < 0 || index >= m_engine.prizeCount())
        return;
    AwardItem& award = m_engine.m_awards[static_cast<size_t>(index)];
    award.awardName = item.awardName;
    award.winnerCount = item.winnerCount;
    award.prizeName = item.prizeName;
    award.picturePath = item.picturePath;
    prizeTableChanged();
}

CLottoryArea& CRafoDlg::textArea(int index)
{
    return *m_areas[static_cast<size_t>(index)];
}

void CRafoDlg::titlesChanged()
{
    m_settings.titlesChanged();
    writeSettings();
    update();
}

void CRafoDlg::prizeTableChanged()
{
    m_journal.append(QStringLiteral("prizes"),
                     QJsonObject{{"prizes", DrawJournal::prizes(m_engine.m_awards, true)},
                                 {"current", m_engine.m_current},
                                 {"running", m_engine.m_running}});
    m_settings.prizesChanged(m_engine.m_awards);
    writeSettings();
    // The operator was told the drawn data goes; what is stored is this table's now.
    m_engine.m_continuesStore = false;
    keepResults();
    update();
}

void CRafoDlg::reloadAfterParticipantEdit()
{
    // The areas are made anew from the file: what the old ones had changed is
    // written first, and nothing stays selected or edited on them. When the
    // file cannot take it, the areas in memory are what the show goes on with.
    m_layoutSavePending = false;
    setAreaMode(-1);
    m_selectedArea = -1;
    if (writeSettings()) {
        CreateAreas(m_areas);
        m_settings.areasSaved(m_areas);
    }
    restartDraw("participants edited");
}

// The draw starts afresh, and the store says so at once: a restart after a
// crash must not bring back the winners the operator chose to drop.
void CRafoDlg::restartDraw(const char* reason)
{
    LoadDrawData();
    keepResults();
    journalStart(reason, m_engine.m_pool.size(), m_journal.keepList(m_engine.m_pool));
}

// The pool as it was built, the prize table, and what the result store gave back.
void CRafoDlg::journalStart(const char* reason, std::size_t participants, const QString& participantsDigest)
{
    QJsonArray restored;
    for (int i = 0; i <= m_engine.m_current && i < m_engine.prizeCount(); ++i)
        restored.append(DrawJournal::names(m_engine.m_awards[static_cast<size_t>(i)].winners));
    m_journal.append(QStringLiteral("start"),
                     QJsonObject{{"reason", reason},
                                 {"participants", static_cast<qint64>(participants)},
                                 {"participantsSha256", participantsDigest},
                                 {"prizes", DrawJournal::prizes(m_engine.m_awards, false)},
                                 {"storedCount", m_engine.m_current + 1},
                                 {"restored", restored},
                                 {"absent", DrawJournal::names(m_engine.m_absent)},
                                 {"poolSize", static_cast<qint64>(m_engine.m_pool.size())},
                                 {"poolDigest", QString::fromStdWString(PoolDigest(m_engine.m_pool))}});
}

void CRafoDlg::recordDraw(const DrawRecord& record)
{
    QJsonObject entry = DrawJournal::draw(record);
    const AwardItem& award = m_engine.m_awards[static_cast<size_t>(record.prize)];
    entry.insert("awardName", QString::fromStdWString(award.awardName));
    entry.insert("winnerCount", award.winnerCount);
    m_journal.append(QStringLiteral("stop"), entry);
}

int CRafoDlg::replaceableRowAt(const QPoint& point) const
{
    if (!m_engine.isCurrentPrize() || m_engine.m_running)
        return -1;
    const size_t rows = m_engine.m_awards[static_cast<size_t>(m_engine.m_current)].winners.size();
    const int row = DrawScreenPainter::rowAt(area(AreaScroll).m_rect, rows, point.x(), point.y());
    return m_engine.canReplace(row) ? row : -1;
}

void CRafoDlg::ReplaceAbsentWinner(int row)
{
    if (!m_engine.canReplace(row))
        return;
    AwardItem& award = m_engine.m_awards[static_cast<size_t>(m_engine.m_current)];
    const tstring absent = award.winners[static_cast<size_t>(row)];
    if (MsgBox::show(absent + ReplaceQuestion, L"消息", MsgBox::OkCancel) != MsgBox::IdOk)
        return;
    DrawRecord record;
    if (m_engine.ReplaceWinner(row, record) == DrawEngine::PoolEmpty) {
        MsgBox::show(NobodyToReplace, L"消息", MsgBox::Ok);
        return;
    }
    m_player.Play(DrawEngine::StopSound, MusicPlayer::PlayOnce);
    QJsonObject entry = DrawJournal::draw(record);
    entry.insert("row", row);
    entry.insert("absent", QString::fromStdWString(absent));
    entry.insert("awardName", QString::fromStdWString(award.awardName));
    m_journal.append(QStringLiteral("replace"), entry);
    keepResults();
    // The export's last block is the final result.
    if (m_engine.m_current == m_engine.prizeCount() - 1)
        exportResults();
    update();
}

#include "show/ShowController.h"

#include "app/ScreenFollower.h"
#include "platform/MsgBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimerEvent>
#include <set>
#include <utility>

ShowController::ShowController(const EventFolder& folder, QObject* parent)
    : QObject(parent), m_session(folder), m_player(folder)
{
    connect(&m_session, &DrawSession::soundRequested, this,
            [this](const QString& path, int mode) { m_player.Play(path.toStdWString(), mode); });
    // What a stop's winners brought when they landed, after the command that sent them.
    connect(&m_session, &DrawSession::noticesAdded, this, &ShowController::tell, Qt::QueuedConnection);
    connect(&m_session, &DrawSession::resultScreenRequested, this, [this] {
        m_resultScreen = true;
        emit resultScreen(true);
    });
    // Queued: the views hear of one replacement before the next begins.
    connect(&m_session, &DrawSession::winnerReplaced, this, &ShowController::replaceNext,
            Qt::QueuedConnection);
}

ShowController::~ShowController()
{
    close();
    m_player.Close();
}

QRect ShowController::followScreens(const QString& wanted)
{
    m_follower = std::make_unique<ScreenFollower>(wanted);
    m_screenCount = QGuiApplication::screens().size();
    connect(m_follower.get(), &ScreenFollower::geometryChanged, this, &ShowController::coverScreen);
    return m_follower->geometry();
}

QScreen* ShowController::otherScreen() const
{
    return m_follower ? m_follower->otherScreen() : nullptr;
}

void ShowController::open(const QRect& screen)
{
    m_opened = true;
    m_screen = screen;
    m_session.open(screen.width(), screen.height());
    m_soundAvailable = MusicPlayer::outputAvailable();
    m_player.Play(DrawSession::InitMusic, MusicPlayer::PlayLoop);
    m_musicTimer.start(MusicPeriodMs, this);
    if (otherScreen())
        emit consoleWanted();
}

void ShowController::coverScreen(const QRect& screen)
{
    if (screen.isEmpty())
        return;
    m_screen = screen;
    m_session.followScreen(screen.width(), screen.height());
    emit screenChanged(screen);
    // A projector plugged in late: the laptop's screen becomes the console's.
    const qsizetype screens = QGuiApplication::screens().size();
    if (screens > m_screenCount && otherScreen())
        emit consoleWanted();
    m_screenCount = screens;
}

void ShowController::close()
{
    if (!m_opened || m_closed)
        return;
    m_closed = true;
    m_musicTimer.stop();
    m_session.close();
    tell();
}

void ShowController::startAction()
{
    // Once up, the result screen is not opened again behind itself.
    if (engine().running() || m_resultScreen)
        return;
    m_session.startAction();
    tell();
}

void ShowController::start()
{
    m_session.start();
    tell();
}

void ShowController::stop()
{
    if (!engine().running())
        return;
    m_session.stop();
    tell();
}

void ShowController::space()
{
    if (engine().running())
        stop();
    else
        startAction();
}

void ShowController::pageDown()
{
    // On the last page it would start: nothing starts behind the result screen.
    if (m_resultScreen)
        return;
    m_session.pageDown();
    tell();
}

void ShowController::pageUp()
{
    m_session.pageUp();
}

void ShowController::setBlackedOut(bool on)
{
    m_session.setBlackedOut(on);
}

bool ShowController::takeBlackScreenKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (m_session.blackedOut()) {
        // The Shift of Shift+F5 is not yet a key.
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            setBlackedOut(false);
        return true;
    }
    if (key != Qt::Key_B && key != Qt::Key_Period)
        return false;
    setBlackedOut(true);
    return true;
}

bool ShowController::takeClickerKey(const QKeyEvent& event)
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
    // The hall's dice while a witnessed draw's names cycle; a held key types nothing more.
    case Qt::Key_Backspace:
        return (!event.isAutoRepeat() && m_session.eraseWitnessDigit()) || m_session.witnessing();
    default:
        if (event.key() >= Qt::Key_0 && event.key() <= Qt::Key_9)
            return (!event.isAutoRepeat() &&
                    m_session.typeWitnessDigit(QChar(u'0' + (event.key() - Qt::Key_0)))) ||
                   m_session.witnessing();
        return false;
    }
}

void ShowController::replace(int row)
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

void ShowController::replaceAbsent(int prize, const std::vector<int>& rows)
{
    std::set<int> replaceable;
    for (const int row : rows) {
        if (engine().canReplace(prize, row))
            replaceable.insert(row);
    }
    if (replaceable.empty())
        return;
    // One question for all of them: fifty dialogs would hold the hall up.
    if (MsgBox::show(BulkReplaceQuestion[0] + std::to_wstring(replaceable.size()) + BulkReplaceQuestion[1],
                     L"消息", MsgBox::OkCancel) != MsgBox::IdOk)
        return;
    m_replacingPrize = prize;
    m_replacingRows.assign(replaceable.begin(), replaceable.end());
    replaceNext();
    tell();
}

// The next of the rows asked for once the one before has landed; the rest
// stays unreplaced, and the operator hears so, when nobody is left to draw.
void ShowController::replaceNext()
{
    while (!m_replacingRows.empty()) {
        const int row = m_replacingRows.front();
        m_replacingRows.erase(m_replacingRows.begin());
        const DrawEngine::ReplaceResult result = m_session.replace(m_replacingPrize, row);
        if (result == DrawEngine::Replaced)
            return;
        if (result == DrawEngine::PoolEmpty) {
            m_replacingRows.clear();
            MsgBox::show(NobodyLeftToReplace, L"消息", MsgBox::Ok);
        }
    }
}

void ShowController::redraw()
{
    // One click must not throw away the event's winners: it asks, No by default.
    const std::size_t drawn = engine().winnersDrawn();
    if (drawn == 0 || MsgBox::show(RedrawQuestion[0] + std::to_wstring(drawn) + RedrawQuestion[1], L"消息",
                                   MsgBox::YesNo | MsgBox::DefaultSecond) == MsgBox::IdYes)
        m_session.restart("redraw");
    tell();
}

void ShowController::exit()
{
    emit exitRequested();
}

void ShowController::askToExit()
{
    if (MsgBox::show(ExitQuestion, L"消息", MsgBox::OkCancel) == MsgBox::IdOk)
        exit();
}

void ShowController::closeResultScreen()
{
    if (!std::exchange(m_resultScreen, false))
        return;
    emit resultScreen(false);
}

void ShowController::endShow()
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
    close();
    // Every dialog's and menu's loop ends, then the draw screen's.
    QCoreApplication::exit(0);
}

void ShowController::tell()
{
    for (const DrawSession::Notice& notice : m_session.takeNotices())
        MsgBox::show(notice.text, notice.caption);
}

void ShowController::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_musicTimer.timerId())
        m_player.Poll();
    else
        QObject::timerEvent(event);
}

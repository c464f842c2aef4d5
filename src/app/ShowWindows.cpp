#include "app/ShowWindows.h"

#include "app/CAboutDlg.h"
#include "app/CRafoDlg.h"
#include "app/CResultDlg.h"
#include "app/ModalRunner.h"
#include "app/OperatorConsole.h"
#include "app/PreShowCheck.h"
#include "app/QtMessageBox.h"
#include "app/Rehearsal.h"
#include "areas/CSimpleFontDialog.h"
#include "controls/CEditLottoryDlg.h"
#include "data/CAwakDlg.h"
#include "data/DrawData.h"
#include "data/EventLock.h"
#include "platform/MsgBox.h"

#include <QGuiApplication>
#include <QScreen>

ShowWindows::ShowWindows(const EventFolder& folder, bool rehearsal)
    : m_controller(folder), m_screen(std::make_unique<CRafoDlg>(m_controller)),
      m_phones(m_controller.session()), m_rehearsal(rehearsal)
{
    m_screen->setRehearsal(rehearsal);
    connect(&m_phones, &PhoneService::changed, this, [this] {
        // A new address makes a new code: the one over the screen follows.
        if (m_screen->phoneCodeShown())
            m_screen->showPhoneCode(m_phones.qrCode(), m_phones.url());
        showPhones();
    });
    connect(m_screen.get(), &CRafoDlg::phoneCodeChanged, this, &ShowWindows::showPhones);
    m_screen->setFrameWatcher([this] { return previewWatcher(); });
    m_screen->setCoveredWhen([this] { return m_result && consoleWatching(); });
    connect(m_screen.get(), &CRafoDlg::dialogRequested, this, &ShowWindows::runDialog);
    connect(&m_controller, &ShowController::consoleWanted, this, [this] {
        if (m_console)
            placeConsole();
        openConsole();
    });
    connect(&m_controller, &ShowController::exitRequested, this, &ShowWindows::closeAll);
    connect(&m_controller, &ShowController::resultScreen, this, [this](bool shown) {
        if (shown)
            showResultScreen();
    });
}

ShowWindows::~ShowWindows()
{
    m_controller.close();
    QtMessageBox::setOwner(nullptr);
}

void ShowWindows::open()
{
    const QRect geometry = m_controller.followScreens(DisplayScreen(m_controller.session().folder()));
    open(geometry.isEmpty() ? QRect(0, 0, 1920, 1080) : geometry);
}

void ShowWindows::open(const QRect& screen)
{
    m_screen->OnInitDialog(screen);
    m_controller.open(screen);
    // Phones follow the real event, never a rehearsal.
    if (!m_rehearsal)
        m_phones.open();
    // What the start found wrong goes to the operator's screen when there is one.
    m_controller.tell();
}

void ShowWindows::openConsole()
{
    if (!m_console) {
        m_console = std::make_unique<OperatorConsole>(m_controller);
        connect(m_console.get(), &OperatorConsole::dialogRequested, this, &ShowWindows::runDialog);
        connect(m_console.get(), &OperatorConsole::visibilityChanged, m_screen.get(),
                qOverload<>(&QWidget::update));
        placeConsole();
        if (m_rehearsal)
            m_console->markRehearsal();
        showPhones();
    }
    QtMessageBox::setOwner(m_console.get());
    m_console->show();
    m_console->raise();
    m_console->activateWindow();
}

// On the other screen when there is one, else in the middle of the show's.
void ShowWindows::placeConsole()
{
    const QScreen* other = m_controller.otherScreen();
    const QRect area = other ? other->availableGeometry() : m_screen->geometry();
    const QSize size = m_console->sizeHint().expandedTo(QSize(1200, 760)).boundedTo(area.size() * 0.9);
    m_console->resize(size);
    m_console->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

bool ShowWindows::consoleWatching() const
{
    return m_console && m_console->isVisible();
}

AudienceFrame::Watcher ShowWindows::previewWatcher() const
{
    if (!consoleWatching())
        return AudienceFrame::Watcher();
    OperatorConsole* console = m_console.get();
    return [console](const QImage& image) { console->showFrame(image); };
}

QWidget* ShowWindows::dialogParent()
{
    if (consoleWatching())
        return m_console.get();
    return m_screen.get();
}

void ShowWindows::showResultScreen()
{
    m_controller.tell();
    CResultDlg dialog(m_controller, m_resultScroll, m_screen.get());
    dialog.setFrameWatcher([this] { return previewWatcher(); });
    m_result = &dialog;
    // It holds the draw screen only, not the console; the console shows its frames.
    dialog.setWindowModality(Qt::WindowModal);
    dialog.OnInitDialog();
    ModalRunner::exec(dialog);
    m_result = nullptr;
    m_controller.closeResultScreen();
    m_screen->update();
}

void ShowWindows::runDialog(int command)
{
    switch (command) {
    case ShowCommand::IdSetFont: {
        AreaEditor& areas = m_controller.session().areas();
        const CLottoryArea& chosen = areas.area(areas.selected());
        CSimpleFontDialog dialog(dialogParent());
        dialog.m_fontColor = chosen.m_fontColor;
        dialog.m_fontName = chosen.m_fontName;
        dialog.m_fontSize = chosen.m_fontSize;
        dialog.OnInitDialog();
        if (ModalRunner::exec(dialog) == QDialog::Accepted) {
            areas.setFont(LastFont.faceName, LastFont.size, LastFont.color);
            m_controller.session().areaEdited(areas.selected());
        }
        break;
    }
    case ShowCommand::IdEditParticipants: {
        CEditLottoryDlg editor(m_controller.session(), dialogParent());
        editor.OnInitDialog();
        ModalRunner::exec(editor);
        break;
    }
    case ShowCommand::IdSettings:
        if (MsgBox::show(ShowController::SettingsWarning, L"消息", MsgBox::OkCancel) == MsgBox::IdOk) {
            CAwakDlg settings(m_controller.session(), dialogParent());
            settings.OnInitDialog();
            ModalRunner::exec(settings);
        }
        break;
    case ShowCommand::IdAbout: {
        CAboutDlg about(dialogParent());
        ModalRunner::exec(about);
        break;
    }
    case ShowCommand::IdConsole:
        openConsole();
        break;
    case ShowCommand::IdPhonePage:
        if (!m_phones.setEnabled(!m_phones.enabled()))
            MsgBox::show(L"无法写入文件: AwardInfo.ini, 手机页面的开关只在本次有效", L"消息", MsgBox::Ok);
        if (!m_phones.enabled() && m_screen->phoneCodeShown())
            m_screen->showPhoneCode(QImage(), QString());
        break;
    case ShowCommand::IdPhoneCode:
        togglePhoneCode();
        break;
    case ShowCommand::IdRehearse:
        if (m_rehearsal)
            m_controller.exit();
        else
            rehearse();
        break;
    case ShowCommand::IdCheck: {
        PreShowCheck::Views views;
        views.soundAvailable = m_controller.soundAvailable();
        views.phoneUrl = m_phones.url();
        views.phones = m_phones.phones();
        views.phoneProblem = m_phones.problem();
        const QRect& area = m_controller.screen();
        const QScreen* shown = QGuiApplication::screenAt(area.center());
        if (!area.isEmpty())
            views.screen = QStringLiteral("%1 %2 × %3")
                               .arg(shown ? shown->name() : QString())
                               .arg(area.width())
                               .arg(area.height())
                               .trimmed();
        const std::vector<PreShowCheck::Line> lines = PreShowCheck::run(m_controller.session(), views);
        MsgBox::show(PreShowCheck::text(lines).toStdWString(), L"检查", MsgBox::Ok);
        break;
    }
    case ShowCommand::IdExportCheckinCodes:
        MsgBox::show(m_controller.session().checkinDesk().exportCodes() ? L"已导出 Checkin.csv"
                                                                        : L"无法写入文件: Checkin.csv",
                     L"消息", MsgBox::Ok);
        break;
    case ShowCommand::IdExportAttendance:
        MsgBox::show(m_controller.session().checkinDesk().exportAttendance()
                         ? L"已导出 Attendance.csv"
                         : L"无法写入文件: Attendance.csv",
                     L"消息", MsgBox::Ok);
        break;
    default:
        break;
    }
    m_controller.tell();
}

void ShowWindows::rehearse()
{
    // The event at rest first: a table half written is not copied half.
    m_controller.session().finishWrites();
    const std::optional<QString> copy =
        Rehearsal::copy(m_controller.session().folder(), QDateTime::currentDateTime());
    if (!copy) {
        MsgBox::show(L"无法建立彩排文件夹", L"消息", MsgBox::Ok);
        return;
    }
    // The real show stands aside: hidden, silent, taking no check-ins, writing nothing.
    CheckinDesk& desk = m_controller.session().checkinDesk();
    const bool checkingIn = desk.isOpen();
    desk.setOpen(false);
    m_controller.player().Stop();
    const bool consoleShown = consoleWatching();
    // The real screen stays under the rehearsal's, which covers it: with no
    // window left, the toolkit would end the whole program with the rehearsal.
    const bool quitting = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (m_console)
        m_console->hide();
    {
        const EventFolder folder(*copy);
        EventLock lock(folder);
        lock.take();
        ShowWindows rehearsal(folder, true);
        rehearsal.open(m_controller.screen());
        CRafoDlg& screen = rehearsal.drawScreen();
        screen.show();
        if (consoleShown)
            rehearsal.openConsole();
        ModalRunner::exec(screen);
    }
    desk.setOpen(checkingIn);
    QGuiApplication::setQuitOnLastWindowClosed(quitting);
    m_screen->raise();
    m_screen->activateWindow();
    if (consoleShown)
        openConsole();
    m_screen->update();
}

void ShowWindows::togglePhoneCode()
{
    if (m_screen->phoneCodeShown())
        m_screen->showPhoneCode(QImage(), QString());
    else
        m_screen->showPhoneCode(m_phones.qrCode(), m_phones.url());
}

void ShowWindows::showPhones()
{
    if (!m_console)
        return;
    QString state;
    if (!m_phones.problem().isEmpty())
        state = m_phones.problem();
    else if (m_phones.enabled() && m_phones.url().isEmpty())
        state = QStringLiteral("正在开启…");
    else if (m_phones.enabled())
        state = QStringLiteral("已连接 %1 部手机").arg(m_phones.phones());
    if (!m_phones.capped().isEmpty())
        state += QStringLiteral("\n已达连接上限: ") + m_phones.capped().join(QStringLiteral(", "));
    m_console->showPhones(m_phones.url(), m_phones.qrCode(), state, m_screen->phoneCodeShown());
}

// Enter or 退出: the result screen closes with the show.
void ShowWindows::closeAll()
{
    if (m_result)
        m_result->accept();
    m_screen->accept();
}

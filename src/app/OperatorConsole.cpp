#include "app/OperatorConsole.h"

#include "app/ProgramIcon.h"
#include "live/QrCode.h"
#include "platform/MsgBox.h"
#include "show/ShowCommand.h"
#include "show/ShowController.h"
#include "ui_OperatorConsole.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPixmap>
#include <algorithm>

namespace {

QString prizeLine(const AwardItem& award)
{
    return QStringLiteral("%1 · %2 · %3 名")
        .arg(QString::fromStdWString(award.awardName), QString::fromStdWString(award.prizeName))
        .arg(award.winnerCount);
}

void showHealth(QLabel& label, bool healthy, const QString& trouble = QStringLiteral("写入失败"))
{
    label.setText(healthy ? QStringLiteral("正常") : trouble);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, healthy ? QColor(26, 127, 55) : QColor(207, 34, 46));
    label.setPalette(palette);
    QFont font = label.font();
    font.setBold(!healthy);
    label.setFont(font);
}

} // namespace

OperatorConsole::OperatorConsole(ShowController& show)
    : QWidget(nullptr, Qt::Window), m_ui(std::make_unique<Ui::OperatorConsole>()), m_show(show)
{
    m_ui->setupUi(this);
    setWindowIcon(ProgramIcon::icon());
    // Read at arm's length, beside a stage.
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    setFont(larger);
    m_ui->winners->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_ui->winners->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(m_ui->startButton, &QPushButton::clicked, this, [this] { m_show.startAction(); });
    connect(m_ui->stopButton, &QPushButton::clicked, this, [this] { m_show.stop(); });
    // A prize shown one at a time: its next winner.
    connect(m_ui->nextWinnerButton, &QPushButton::clicked, this, [this] { m_show.startAction(); });
    connect(m_ui->previousPageButton, &QPushButton::clicked, this, [this] { m_show.pageUp(); });
    connect(m_ui->nextPageButton, &QPushButton::clicked, this, [this] { m_show.pageDown(); });
    connect(m_ui->blackButton, &QPushButton::clicked, this, [this](bool on) { m_show.setBlackedOut(on); });
    connect(m_ui->participantsButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdEditParticipants); });
    connect(m_ui->settingsButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdSettings); });
    connect(m_ui->exitButton, &QPushButton::clicked, this, [this] { m_show.askToExit(); });
    connect(m_ui->phoneButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdPhonePage); });
    connect(m_ui->phoneCodeButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdPhoneCode); });
    connect(m_ui->checkinButton, &QPushButton::clicked, this, [this](bool open) {
        if (!m_show.session().checkinDesk().setOpen(open))
            MsgBox::show(L"无法写入签到密钥: Journal/checkin.key", L"消息", MsgBox::Ok);
        refreshCheckin();
    });
    connect(m_ui->checkButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdCheck); });
    connect(m_ui->rehearseButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdRehearse); });
    connect(m_ui->checkinCodesButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdExportCheckinCodes); });
    connect(m_ui->attendanceButton, &QPushButton::clicked, this,
            [this] { emit dialogRequested(ShowCommand::IdExportAttendance); });
    connect(m_ui->doorSearch, &QLineEdit::textChanged, this, &OperatorConsole::findAtDoor);
    connect(m_ui->doorButton, &QPushButton::clicked, this, [this] {
        const QString line = m_ui->doorMatches->currentData().toString();
        if (line.isEmpty())
            return;
        m_show.session().checkinDesk().checkInAtDoor({line.toStdWString()});
        findAtDoor(m_ui->doorSearch->text());
    });
    connect(&show.session().checkinDesk(), &CheckinDesk::changed, this, &OperatorConsole::refreshCheckin);
    // Without a window manager there is no title bar to close it with.
    connect(m_ui->hideButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_ui->winners, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == 1)
            replaceRows({row});
    });
    connect(m_ui->winnersPrize, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_chosenPrize = m_ui->winnersPrize->itemData(index).toInt();
        fillWinners();
    });
    connect(m_ui->replaceSelectedButton, &QPushButton::clicked, this, [this] {
        std::vector<int> rows;
        for (const QModelIndex& index : m_ui->winners->selectionModel()->selectedRows())
            rows.push_back(index.row());
        replaceRows(rows);
    });
    connect(m_ui->replaceAbsentButton, &QPushButton::clicked, this, [this] {
        const int prize = shownPrize();
        const CheckinBook& book = m_show.session().checkinDesk().book();
        std::vector<int> rows;
        if (prize >= 0 && prize < m_show.engine().prizeCount()) {
            const std::vector<tstring>& winners = m_show.engine().award(prize).winners;
            for (size_t row = 0; row < winners.size(); ++row) {
                if (!book.isCheckedIn(winners[row]))
                    rows.push_back(int(row));
            }
        }
        replaceRows(rows);
    });
    DrawSession& session = show.session();
    session.onAnyChange(this, [this] { refresh(); });
    connect(&show, &ShowController::resultScreen, this, &OperatorConsole::refresh);
    // The winners shown change with the draws only.
    for (const auto changed : {&DrawSession::cycleStarted, &DrawSession::cycleStopped,
                               &DrawSession::participantsChanged, &DrawSession::prizesChanged})
        connect(&session, changed, this, &OperatorConsole::fillWinners);
    // A new prize drawn, or the draw started afresh: the table follows the prize drawn last again.
    connect(&session, &DrawSession::cycleStarted, this, [this] { m_chosenPrize = -1; });
    connect(&session, &DrawSession::restarted, this, [this] { m_chosenPrize = -1; });
    connect(&session, &DrawSession::prizeDrawn, this, [this] {
        m_chosenPrize = -1;
        fillWinners();
    });
    connect(&session, &DrawSession::winnerReplaced, this, &OperatorConsole::fillWinners);
    connect(&session, &DrawSession::restarted, this, &OperatorConsole::fillWinners);
    refresh();
    fillWinners();
    refreshCheckin();
}

void OperatorConsole::refreshCheckin()
{
    const CheckinDesk& desk = m_show.session().checkinDesk();
    const CheckinBook::Mode mode = desk.mode();
    const bool on = mode != CheckinBook::Mode::Off;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_ui->checkinButton), static_cast<QWidget*>(m_ui->doorSearch),
          static_cast<QWidget*>(m_ui->doorMatches), static_cast<QWidget*>(m_ui->doorButton),
          static_cast<QWidget*>(m_ui->attendanceButton)})
        widget->setEnabled(on);
    m_ui->checkinCodesButton->setEnabled(mode == CheckinBook::Mode::Code);
    m_ui->checkinButton->setChecked(desk.isOpen());
    if (!on) {
        m_ui->checkinCount->setText(QStringLiteral("未启用 ([Phone] Checkin=code 或 name)"));
    } else {
        m_ui->checkinCount->setText(
            QStringLiteral("已签到 %1 / %2 · %3 · %4")
                .arg(desk.book().checkedInCount())
                .arg(desk.book().participantCount())
                .arg(mode == CheckinBook::Mode::Name ? QStringLiteral("仅凭姓名 (较弱)")
                                                     : QStringLiteral("凭签到码"),
                     desk.isOpen() ? QStringLiteral("进行中") : QStringLiteral("未开放")));
    }
    m_ui->checkinNotes->setText(desk.notes().join(QLatin1Char('\n')));
}

void OperatorConsole::findAtDoor(const QString& typed)
{
    QComboBox& matches = *m_ui->doorMatches;
    matches.clear();
    const CheckinBook& book = m_show.session().checkinDesk().book();
    for (const tstring& line : book.linesWith(typed, 20)) {
        const QString text = QString::fromStdWString(line);
        matches.addItem(book.isCheckedIn(line) ? text + QStringLiteral(" (已签到)") : text, text);
    }
}

OperatorConsole::~OperatorConsole() = default;

void OperatorConsole::refresh()
{
    const DrawSession& session = m_show.session();
    const DrawEngine& engine = session.engine();
    const bool running = engine.running();
    const int current = engine.current();
    // Past the result screen the count runs one beyond the table, as the store keeps it.
    const bool allDrawn = current >= engine.prizeCount() && engine.prizeCount() > 0;
    m_ui->currentPrize->setText(engine.isCurrentPrize()
                                    ? prizeLine(engine.award(current)) +
                                          (running ? QStringLiteral(" (正在抽)") : QString())
                                : allDrawn ? QStringLiteral("全部抽完")
                                           : QStringLiteral("还没有开始"));
    const int next = current + 1;
    m_ui->nextPrize->setText(next >= 0 && next < engine.prizeCount()
                                 ? prizeLine(engine.award(next))
                                 : QStringLiteral("没有了 (开始打开结果)"));
    m_ui->poolSize->setText(QStringLiteral("%1 人").arg(engine.pool().size()));
    m_ui->prizesDrawn->setText(QStringLiteral("%1 / %2")
                                   .arg(std::min(engine.finishedCountToStore(), engine.prizeCount()))
                                   .arg(engine.prizeCount()));
    const int pages = session.wall().pages();
    m_ui->pageLabel->setText(
        QStringLiteral("%1 / %2").arg(std::min(session.page(), pages - 1) + 1).arg(pages));
    const QString fingerprint = session.journalFingerprint();
    m_ui->fingerprint->setText(fingerprint.isEmpty() ? QStringLiteral("—") : fingerprint);
    showHealth(*m_ui->journalHealth, session.journalWritten());
    showHealth(*m_ui->storeHealth, session.storeWritten());
    // Told here, to the operator alone: the hall hears nothing either way.
    showHealth(*m_ui->sound, m_show.soundAvailable(), QString::fromWCharArray(NoSound));
    m_ui->exclusions->setText(session.exclusionReport().isEmpty() ? QStringLiteral("—")
                                                                  : session.exclusionReport());
    const bool revealing = session.reveal().pending(current);
    m_ui->startButton->setEnabled(!running && !revealing && !m_show.resultScreenShown());
    m_ui->stopButton->setEnabled(running);
    m_ui->nextWinnerButton->setVisible(revealing);
    m_ui->nextWinnerButton->setEnabled(revealing && !session.reveal().landing());
    m_ui->blackButton->setChecked(session.blackedOut());
    refreshWitness();
}

void OperatorConsole::refreshWitness()
{
    const WitnessDesk& desk = m_show.session().witness();
    const auto& commit = desk.commit();
    for (QWidget* row :
         {static_cast<QWidget*>(m_ui->witnessCommitmentCaption),
          static_cast<QWidget*>(m_ui->witnessCommitment), static_cast<QWidget*>(m_ui->witnessDigitsCaption),
          static_cast<QWidget*>(m_ui->witnessDigits)})
        row->setVisible(desk.enabled() || commit);
    if (!commit) {
        m_ui->witnessCommitment->setText(desk.committingNow() ? QStringLiteral("正在生成…")
                                                              : QStringLiteral("—"));
        m_ui->witnessDigits->setText(QStringLiteral("—"));
        return;
    }
    QString line = Commitment::grouped(commit->commitment, Commitment::ShownDigits);
    if (desk.attempt() > 1)
        line += QStringLiteral(" (第 %1 次承诺)").arg(desk.attempt());
    m_ui->witnessCommitment->setText(line);
    QString digits = QStringLiteral("%1 (%2/%3)")
                         .arg(desk.digits().isEmpty() ? QStringLiteral("—") : desk.digits())
                         .arg(desk.digits().size())
                         .arg(desk.minDigits());
    if (desk.revealed())
        digits += QStringLiteral(" · 密钥 ") + Commitment::grouped(commit->secret, 16);
    else if (desk.refused())
        digits += QStringLiteral(" · ") + QString::fromStdWString(desk.refusal());
    m_ui->witnessDigits->setText(digits);
    m_ui->witnessDigits->setStyleSheet(desk.refused() && !desk.revealed() ? QStringLiteral("color: #c00000;")
                                                                          : QString());
}

int OperatorConsole::shownPrize() const
{
    const DrawEngine& engine = m_show.engine();
    if (m_chosenPrize >= 0 && m_chosenPrize <= engine.current() && m_chosenPrize < engine.prizeCount())
        return m_chosenPrize;
    return engine.current();
}

// The prize on the screen asks for the one winner by name, as its menu does; others at once for all.
void OperatorConsole::replaceRows(const std::vector<int>& rows)
{
    const int prize = shownPrize();
    if (rows.size() == 1 && prize == m_show.engine().current())
        m_show.replace(rows.front());
    else
        m_show.replaceAbsent(prize, rows);
}

void OperatorConsole::fillWinners()
{
    const DrawEngine& engine = m_show.engine();
    // The prizes drawn so far, to choose from; the one drawn last unless another was chosen.
    QComboBox& prizes = *m_ui->winnersPrize;
    prizes.clear();
    for (int prize = 0; prize <= engine.current() && prize < engine.prizeCount(); ++prize) {
        if (engine.hasWinners(prize))
            prizes.addItem(QString::fromStdWString(engine.award(prize).awardName), prize);
    }
    const int prize = shownPrize();
    prizes.setCurrentIndex(prizes.findData(prize));
    m_ui->replaceAbsentButton->setEnabled(m_show.session().checkinDesk().mode() != CheckinBook::Mode::Off);
    QTableWidget& table = *m_ui->winners;
    table.setRowCount(0);
    const bool shown = engine.hasWinners(prize);
    if (!shown)
        return;
    const std::vector<tstring>& winners = engine.award(prize).winners;
    // One at a time: the operator sees them as the hall does.
    table.setRowCount(m_show.session().shownWinners(prize));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setItem(row, 0, new QTableWidgetItem(QString::fromStdWString(winners[size_t(row)])));
        auto* replace = new QTableWidgetItem(
            engine.canReplace(prize, row) ? QString::fromWCharArray(ReplaceCell) : QString());
        replace->setForeground(palette().link());
        table.setItem(row, 1, replace);
    }
}

void OperatorConsole::markRehearsal()
{
    setWindowTitle(QStringLiteral("操作台 · 彩排"));
    m_ui->stateBox->setTitle(QStringLiteral("彩排 (真实活动的文件不变; 退出即结束彩排)"));
    m_ui->stateBox->setStyleSheet(QStringLiteral("QGroupBox { color: #d00000; font-weight: bold; }"));
}

void OperatorConsole::showFrame(const QImage& frame)
{
    QLabel& preview = *m_ui->preview;
    preview.setPixmap(QPixmap::fromImage(
        frame.scaled(preview.contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void OperatorConsole::showPhones(const QString& url, const QImage& code, const QString& state, bool codeShown)
{
    m_ui->phoneButton->setChecked(!url.isEmpty() || !state.isEmpty());
    m_ui->phoneCodeButton->setEnabled(!code.isNull());
    m_ui->phoneCodeButton->setChecked(codeShown);
    m_ui->phoneUrl->setText(url.isEmpty() ? QStringLiteral("未开启") : url);
    m_ui->phoneCount->setText(state);
    QLabel& label = *m_ui->phoneCode;
    if (code.isNull()) {
        label.clear();
        return;
    }
    // Whole modules only: a smoothed code is harder for a camera to read.
    const int scale = QrCode::scaleFor(code, label.minimumWidth());
    label.setPixmap(
        QPixmap::fromImage(code.scaled(code.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void OperatorConsole::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        return;
    default:
        // A clicker sends its keys to the window that has the keyboard: here, the laptop's.
        if (!m_show.takeClickerKey(*event))
            QWidget::keyPressEvent(event);
    }
}

void OperatorConsole::showEvent(QShowEvent* event)
{
    refresh();
    emit visibilityChanged(true);
    QWidget::showEvent(event);
}

void OperatorConsole::hideEvent(QHideEvent* event)
{
    emit visibilityChanged(false);
    QWidget::hideEvent(event);
}

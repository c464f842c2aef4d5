#include "data/CAwakDlg.h"

#include "app/DrawScope.h"
#include "app/ModalRunner.h"
#include "areas/TextAreas.h"
#include "controls/CComboListCtrl.h"
#include "data/CAwardOnedlg.h"
#include "data/PendingSettings.h"
#include "data/PrizeSettingsHost.h"
#include "data/PrizeTable.h"
#include "platform/MsgBox.h"
#include "ui_CAwakDlg.h"

#include <QCursor>
#include <QHeaderView>
#include <QMenu>

namespace {

QString text(const tstring& value)
{
    return QString::fromStdWString(value);
}

QString revealText(bool reveal)
{
    return reveal ? QStringLiteral("是") : QString();
}

} // namespace

CAwakDlg::CAwakDlg(PrizeSettingsHost& host, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAwakDlg>()), m_host(host)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_list = m_ui->list1011;
    m_mainTitleEdit = m_ui->edit1008;
    m_subTitleEdit = m_ui->edit1010;
    m_captionEdit = m_ui->edit1012;
    connect(m_ui->IDOK, &QPushButton::clicked, this, &CAwakDlg::OnOK);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &CComboListCtrl::rightClicked, this, &CAwakDlg::OnPrizeListRightClick);
    connect(m_list, &CComboListCtrl::cellEdited, this, &CAwakDlg::OnCellEdited);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &CAwakDlg::OnMusicCell);

    m_menu = new QMenu(QString::fromUtf8("奖品菜单"), this);
    m_menu->setObjectName(QStringLiteral("menu135"));
    const std::pair<int, const char*> entries[] = {
        {IdInsert, "插入"}, {IdDelete, "删除"}, {IdMoveUp, "上移"}, {IdMoveDown, "下移"}};
    for (const auto& [id, name] : entries) {
        QAction* action = m_menu->addAction(QString::fromUtf8(name));
        action->setObjectName(QStringLiteral("command%1").arg(id));
        action->setData(id);
    }
}

CAwakDlg::~CAwakDlg() = default;

void CAwakDlg::OnInitDialog()
{
    m_list->setShowGrid(true);
    const std::pair<const char*, int> columns[] = {{"次序", 60},      {"奖项名称", 60},  {"中奖名额", 60},
                                                   {"奖品名称", 120}, {"奖品图片", 240}, {"抽奖范围", 160},
                                                   {"开始音乐", 140}, {"停止音乐", 140}, {"逐个揭晓", 70}};
    m_list->setColumnCount(static_cast<int>(std::size(columns)));
    for (int c = 0; c < 6; ++c) {
        m_list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(columns[c].first)));
        m_list->setColumnWidth(c, columns[c].second);
    }
    m_list->MarkColumnReadOnly(ColumnOrder);
    // Chosen from a menu with a file chooser rather than typed.
    m_list->MarkColumnReadOnly(ColumnStartMusic);
    m_list->MarkColumnReadOnly(ColumnStopMusic);
    m_mainTitleEdit->setText(m_host.textArea(AreaMainTitle).m_titleName);
    m_subTitleEdit->setText(m_host.textArea(AreaSubTitle).m_titleName);
    m_captionEdit->setText(m_host.textArea(AreaResultLine).m_titleName);
    FillPrizeList();
}

void CAwakDlg::FillPrizeList()
{
    CComboListCtrl::endOpenEdits();
    const std::vector<AwardItem>& awards = m_host.awards();
    m_list->clearSelection();
    m_list->setRowCount(0);
    m_list->setRowCount(static_cast<int>(awards.size()));
    for (size_t i = 0; i < awards.size(); ++i) {
        const AwardItem& award = awards[i];
        m_list->setRowTexts(static_cast<int>(i),
                            {QString::number(i + 1), text(award.awardName),
                             QString::number(award.winnerCount), text(award.prizeName),
                             text(award.picturePath), text(award.range), text(award.startMusic),
                             text(award.stopMusic), revealText(award.reveal)});
    }
    m_list->setCurrentIndex(QModelIndex());
}

int CAwakDlg::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
}

void CAwakDlg::OnPrizeListRightClick(const QPoint& globalPos)
{
    const int selected = selectedRow();
    const int rows = m_list->rowCount();
    const auto action = [this](int id) {
        return m_menu->findChild<QAction*>(QStringLiteral("command%1").arg(id));
    };
    action(IdInsert)->setEnabled(true);
    action(IdDelete)->setEnabled(selected >= 0);
    const bool movable = selected >= 0 && rows >= 2;
    // A finished prize and one still to draw cannot trade places.
    action(IdMoveUp)->setEnabled(movable && selected > 0 && m_host.canMovePrize(selected, selected - 1));
    action(IdMoveDown)
        ->setEnabled(movable && selected < rows - 1 && m_host.canMovePrize(selected, selected + 1));
    if (QAction* chosen = ModalRunner::popup(*m_menu, globalPos))
        OnCommand(chosen->data().toInt());
}

void CAwakDlg::OnCommand(int id)
{
    switch (id) {
    case IdInsert:
        OnInsertPrize();
        break;
    case IdDelete:
        OnDeletePrize();
        break;
    case IdMoveUp:
        OnMovePrizeUp();
        break;
    case IdMoveDown:
        OnMovePrizeDown();
        break;
    default:
        break;
    }
}

void CAwakDlg::OnInsertPrize()
{
    CAwardOnedlg entry(m_host, this);
    if (ModalRunner::exec(entry) == QDialog::Accepted)
        FillPrizeList();
}

void CAwakDlg::OnDeletePrize()
{
    const int selected = selectedRow();
    if (selected < 0)
        return;
    m_host.removePrize(selected);
    FillPrizeList();
}

void CAwakDlg::movePrize(int offset)
{
    const int selected = selectedRow();
    if (selected < 0 || m_list->rowCount() < 2 || !m_host.canMovePrize(selected, selected + offset))
        return;
    m_host.movePrize(selected, selected + offset);
    FillPrizeList();
}

void CAwakDlg::OnMovePrizeUp()
{
    movePrize(-1);
}

void CAwakDlg::OnMovePrizeDown()
{
    movePrize(1);
}

void CAwakDlg::OnCellEdited(int row, int column, const QString& edited)
{
    if (row < 0 || row >= static_cast<int>(m_host.awards().size()))
        return;
    AwardItem item = m_host.awards()[static_cast<size_t>(row)];
    const tstring value = tstring(edited.toStdWString()).WithFullWidthBars();
    switch (column) {
    case ColumnAward:
        item.awardName = value;
        break;
    case ColumnCount: {
        bool number = false;
        const int count = edited.toInt(&number);
        if (!number || count < 1 || count > CAwardOnedlg::MaxWinners) {
            // Not a count a prize can have: the cell shows the prize's own again.
            m_list->item(row, column)->setText(QString::number(item.winnerCount));
            return;
        }
        item.winnerCount = count;
        break;
    }
    case ColumnPrize:
        item.prizeName = value;
        break;
    case ColumnPicture:
        item.picturePath = value;
        break;
    case ColumnReveal:
        // "是" or "1" shows its winners one at a time; anything else all at once.
        item.reveal = value == L"是" || value == L"1";
        m_list->item(row, column)->setText(revealText(item.reveal));
        m_host.changePrize(row, item);
        return;
    case ColumnRange: {
        // A rule is declared before the draw as it will be applied, or not at all.
        DrawScope scope;
        QString reason;
        if (!scope.parse(value, &reason)) {
            m_list->item(row, column)->setText(text(item.range));
            MsgBox::show(DrawScope::Problem + reason.toStdWString(), L"消息");
            return;
        }
        item.range = value;
        break;
    }
    default:
        return;
    }
    // The cell shows what the prize holds now ("|" became "｜").
    m_list->item(row, column)
        ->setText(column == ColumnCount ? QString::number(item.winnerCount) : text(value));
    m_host.changePrize(row, item);
}

void CAwakDlg::OnMusicCell(int row, int column)
{
    if ((column != ColumnStartMusic && column != ColumnStopMusic) || row < 0 ||
        row >= static_cast<int>(m_host.awards().size()))
        return;
    QMenu menu(this);
    QAction* choose = menu.addAction(QStringLiteral("选择文件..."));
    menu.addAction(QStringLiteral("使用默认音乐"));
    QAction* chosen = ModalRunner::popup(menu, QCursor::pos());
    if (!chosen)
        return;
    const QString path = chosen == choose ? CAwardOnedlg::chooseMusic(this, m_host.folder()) : QString();
    if (chosen == choose && path.isEmpty())
        return;
    AwardItem item = m_host.awards()[static_cast<size_t>(row)];
    (column == ColumnStartMusic ? item.startMusic : item.stopMusic) =
        tstring(path.toStdWString()).WithFullWidthBars();
    m_list->item(row, column)->setText(path);
    m_host.changePrize(row, item);
}

void CAwakDlg::OnOK()
{
    CComboListCtrl::endOpenEdits();
    QLineEdit* const edits[3] = {m_mainTitleEdit, m_subTitleEdit, m_captionEdit};
    for (int i = 0; i < 3; ++i)
        m_host.textArea(PendingSettings::TitleAreas[i]).m_titleName = edits[i]->text();
    m_host.titlesChanged();
    accept();
}

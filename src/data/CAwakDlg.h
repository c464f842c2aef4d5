#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class CAwakDlg;
}
class CComboListCtrl;
class PrizeSettingsHost;
class QLineEdit;
class QMenu;

// The main title, the subtitle, the caption text and the prize table. Each
// change of the table is the draw screen's at once; the texts only on OK.
class CAwakDlg : public QDialog
{
    Q_OBJECT
public:
    enum Command
    {
        IdInsert = 32789,
        IdDelete = 32790,
        IdMoveUp = 32791,
        IdMoveDown = 32792
    };
    enum Column
    {
        ColumnOrder,
        ColumnAward,
        ColumnCount,
        ColumnPrize,
        ColumnPicture,
        ColumnRange,
        ColumnStartMusic,
        ColumnStopMusic,
        ColumnReveal
    };

    CAwakDlg(PrizeSettingsHost& host, QWidget* parent = nullptr);
    ~CAwakDlg() override;

    void OnInitDialog();
    void FillPrizeList();
    void OnPrizeListRightClick(const QPoint& globalPos);
    void OnCommand(int id);
    void OnInsertPrize();
    void OnDeletePrize();
    void OnMovePrizeUp();
    void OnMovePrizeDown();
    void OnOK();
    // An edited cell written back to its prize.
    void OnCellEdited(int row, int column, const QString& text);
    // A music cell: a file chosen for that prize, or back to the event's own.
    void OnMusicCell(int row, int column);

    QMenu* prizeMenu() const { return m_menu; }

    CComboListCtrl* m_list;
    QLineEdit* m_mainTitleEdit;
    QLineEdit* m_subTitleEdit;
    QLineEdit* m_captionEdit;

private:
    int selectedRow() const;
    void movePrize(int offset);

    std::unique_ptr<Ui::CAwakDlg> m_ui;
    PrizeSettingsHost& m_host;
    QMenu* m_menu;
};

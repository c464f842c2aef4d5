#pragma once

#include "data/ImportTable.h"

#include <QDialog>
#include <memory>

namespace Ui {
class CImportDlg;
}

// Which columns of an imported sheet make the names, and whether its first
// row is the headings; shows the first names as they will be.
class CImportDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CImportDlg(const ImportTable& table, QWidget* parent = nullptr);
    ~CImportDlg() override;

    static constexpr const wchar_t* DuplicatesHint = L"; 可以选上工号一列来区分";

    // The names as chosen now.
    ImportTable::Names names() const;
    // The headings of the columns that make the names, for the prize desk's
    // table; none when the first row is not the headings.
    QStringList fieldHeadings() const;
    void setHeaderRow(bool header);
    void setColumnChosen(int column, bool chosen);

private:
    std::vector<int> chosenColumns() const;
    void showColumns();
    void showPreview();

    std::unique_ptr<Ui::CImportDlg> m_ui;
    const ImportTable& m_table;
};

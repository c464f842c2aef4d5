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

    // The names as chosen now.
    ImportTable::Names names() const;
    void setHeaderRow(bool header);
    void setColumnChosen(int column, bool chosen);

private:
    void showColumns();
    void showPreview();

    std::unique_ptr<Ui::CImportDlg> m_ui;
    const ImportTable& m_table;
};

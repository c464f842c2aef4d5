#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class CAboutDlg;
}

// The About box: the icon, the name and the version.
class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
};

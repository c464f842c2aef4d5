#include "app/CAboutDlg.h"

#include "app/ProgramIcon.h"
#include "ui_CAboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>())
{
    m_ui->setupUi(this);
    m_ui->iconLabel->setPixmap(ProgramIcon::icon().pixmap(64, 64));
    connect(m_ui->IDOK, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;

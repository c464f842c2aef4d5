#include "app/CAboutDlg.h"

#include "ui_CAboutDlg.h"

#include <QIcon>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>())
{
    m_ui->setupUi(this);
    m_ui->iconLabel->setPixmap(QIcon(QStringLiteral(":/rafo.png")).pixmap(64, 64));
    connect(m_ui->IDOK, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;

#include "data/CAwardOnedlg.h"

#include "data/PrizeSettingsHost.h"
#include "data/PrizeTable.h"
#include "platform/MsgBox.h"
#include "ui_CAwardOnedlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

CAwardOnedlg::FileChooser& fileChooser()
{
    static CAwardOnedlg::FileChooser chooser;
    return chooser;
}

// An integer as the dialog accepts one: blanks around an optionally signed
// run of digits, nothing else.
bool readInteger(const QString& text, long long& value)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        ++i;
    if (i == t.size() || t.size() - i > 12)
        return false;
    for (int k = i; k < t.size(); ++k) {
        if (t[k] < QLatin1Char('0') || t[k] > QLatin1Char('9'))
            return false;
    }
    value = t.toLongLong();
    return true;
}

tstring inMemory(const QString& text)
{
    return tstring(text.toStdWString()).WithFullWidthBars();
}

} // namespace

CAwardOnedlg::FileChooser CAwardOnedlg::setFileChooser(FileChooser chooser)
{
    return std::exchange(fileChooser(), std::move(chooser));
}

CAwardOnedlg::CAwardOnedlg(PrizeSettingsHost& host, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAwardOnedlg>()), m_host(host)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->edit1013->setText(QString::number(m_winnerCount));
    connect(m_ui->IDOK, &QPushButton::clicked, this, &CAwardOnedlg::OnOK);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->button1016, &QPushButton::clicked, this, &CAwardOnedlg::OnBrowsePicture);
    connect(m_ui->buttonStartMusic, &QPushButton::clicked, this,
            [this] { browseMusic(m_ui->editStartMusic); });
    connect(m_ui->buttonStopMusic, &QPushButton::clicked, this, [this] { browseMusic(m_ui->editStopMusic); });
}

CAwardOnedlg::~CAwardOnedlg() = default;

bool CAwardOnedlg::exchangeData()
{
    m_awardName = m_ui->edit1012->text();
    long long count = 0;
    const bool integer = readInteger(m_ui->edit1013->text(), count);
    if (!integer || count < 1 || count > MaxWinners) {
        MsgBox::show(integer ? L"Enter an integer between 1 and 100000." : NotAnInteger, std::wstring(),
                     MsgBox::Ok);
        m_ui->edit1013->setFocus();
        m_ui->edit1013->selectAll();
        return false;
    }
    m_winnerCount = static_cast<int>(count);
    m_prizeName = m_ui->edit1014->text();
    m_picturePath = m_ui->edit1015->text();
    return true;
}

void CAwardOnedlg::OnOK()
{
    if (!exchangeData())
        return;
    AwardItem item;
    item.awardName = inMemory(m_awardName);
    item.winnerCount = m_winnerCount;
    item.prizeName = inMemory(m_prizeName);
    item.picturePath = inMemory(m_picturePath);
    item.startMusic = inMemory(m_ui->editStartMusic->text().trimmed());
    item.stopMusic = inMemory(m_ui->editStopMusic->text().trimmed());
    m_host.appendPrize(item);
    accept();
}

void CAwardOnedlg::OnBrowsePicture()
{
    const QString filter = QString::fromWCharArray(PictureFilter);
    const QString path = fileChooser()
                             ? fileChooser()(this, filter)
                             : QFileDialog::getOpenFileName(
                                   this, QString(), m_host.folder().file(L"Backimg"), filter, nullptr,
                                   QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return;
    m_picturePath = QFileInfo(path).absoluteFilePath();
    m_ui->edit1015->setText(m_picturePath);
}

QString CAwardOnedlg::musicPath(const EventFolder& folder, const QString& chosen)
{
    const QString relative = QDir(folder.path()).relativeFilePath(QFileInfo(chosen).absoluteFilePath());
    if (relative.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(relative))
        return QFileInfo(chosen).absoluteFilePath();
    return QString(relative).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString CAwardOnedlg::chooseMusic(QWidget* parent, const EventFolder& folder)
{
    const QString filter = QString::fromWCharArray(MusicFilter);
    const QString path = fileChooser()
                             ? fileChooser()(parent, filter)
                             : QFileDialog::getOpenFileName(
                                   parent, QString(), folder.file(L"Music"), filter, nullptr,
                                   QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    return path.isEmpty() ? QString() : musicPath(folder, path);
}

void CAwardOnedlg::browseMusic(QLineEdit* edit)
{
    const QString path = chooseMusic(this, m_host.folder());
    if (!path.isEmpty())
        edit->setText(path);
}

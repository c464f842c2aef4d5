#include "controls/CEditLottoryDlg.h"

#include "app/ModalRunner.h"
#include "areas/AreaFont.h"
#include "controls/CImportDlg.h"
#include "controls/CLineNumberEdit.h"
#include "controls/ParticipantEditorHost.h"
#include "data/DuplicateNames.h"
#include "data/ParticipantFile.h"
#include "platform/MsgBox.h"
#include "ui_CEditLottoryDlg.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <utility>

CEditLottoryDlg::CEditLottoryDlg(ParticipantEditorHost& host, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CEditLottoryDlg>()), m_host(host)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_edit = m_ui->edit1006;
    connect(m_ui->IDOK, &QPushButton::clicked, this, &CEditLottoryDlg::OnOK);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->importButton, &QPushButton::clicked, this, &CEditLottoryDlg::OnImport);
}

namespace {

CEditLottoryDlg::FileChooser& fileChooser()
{
    static CEditLottoryDlg::FileChooser chooser;
    return chooser;
}

} // namespace

CEditLottoryDlg::FileChooser CEditLottoryDlg::setFileChooser(FileChooser chooser)
{
    return std::exchange(fileChooser(), std::move(chooser));
}

void CEditLottoryDlg::OnImport()
{
    const QString path =
        fileChooser() ? fileChooser()(this)
                      : QFileDialog::getOpenFileName(this, QStringLiteral("导入名单"), m_host.folder().path(),
                                                     QString::fromWCharArray(ImportFilter));
    if (path.isEmpty())
        return;
    ImportTable table;
    if (!ImportTable::read(path, table)) {
        MsgBox::show(table.error.toStdWString(), L"消息");
        return;
    }
    CImportDlg options(table, this);
    if (ModalRunner::exec(options) != QDialog::Accepted)
        return;
    const ImportTable::Names names = options.names();
    m_edit->SetLines(names.names.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    m_importedFields = options.fieldHeadings();
    const DuplicateNames duplicates(names.names);
    MsgBox::show(QStringLiteral("导入了 %1 个名字, 跳过了 %2 个空行; 按确定保存%3")
                     .arg(names.names.size())
                     .arg(names.skipped)
                     .arg(duplicates.isEmpty() ? QString() : QStringLiteral("\n") + duplicates.summary())
                     .toStdWString(),
                 L"消息");
}

CEditLottoryDlg::~CEditLottoryDlg() = default;

void CEditLottoryDlg::OnInitDialog()
{
    // A height of 32 is the character cell, as the draw screen's fonts are.
    m_font = AreaFont::font(QString::fromUtf8("微软雅黑"), 32);
    m_edit->setFont(m_font);
    m_edit->SetGutterBackground(QColor(240, 240, 240));
    m_edit->SetNumberRange(0, MaxLines);
    LoadParticipants();
}

void CEditLottoryDlg::LoadParticipants()
{
    ParticipantList list;
    QString text;
    if (ReadParticipants(m_host.folder(), list)) {
        for (const tstring& name : list.names)
            text += QString::fromStdWString(name) + QLatin1Char('\n');
    }
    m_edit->SetLines(text);
}

bool CEditLottoryDlg::SaveParticipants()
{
    const QString text = m_edit->toPlainText();
    if (text.isEmpty())
        return true;
    TextEncoding encoding = m_host.participantEncoding();
    // A "?" in place of a character could make two people one.
    const std::wstring kept = ParticipantFileText(text.toStdWString());
    if (encoding == TextEncoding::Ansi &&
        CodePage::decode(CodePage::encode(kept, encoding), encoding) != kept) {
        MsgBox::show(Utf8Notice, L"消息");
        encoding = TextEncoding::Utf8Bom;
    }
    if (!WriteParticipants(m_host.folder(), text.toStdWString(), encoding)) {
        MsgBox::show(std::wstring(WriteFailure) + ParticipantFileName, L"消息", MsgBox::Ok);
        return false;
    }
    if (m_importedFields)
        m_host.participantFieldsImported(*std::exchange(m_importedFields, std::nullopt));
    return true;
}

bool CEditLottoryDlg::confirmAndSave()
{
    if (MsgBox::show(Warning, L"消息", MsgBox::OkCancel) != MsgBox::IdOk)
        return true;
    // Lines as the file will keep them.
    const DuplicateNames duplicates(
        QString::fromStdWString(ParticipantFileText(m_edit->toPlainText().toStdWString()))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
    if (!duplicates.isEmpty() && MsgBox::show(duplicates.summary().toStdWString() + DuplicatesQuestion,
                                              L"消息", MsgBox::OkCancel) != MsgBox::IdOk)
        return false;
    // A list that could not be written stays in the editor; the show goes on as it was.
    if (!SaveParticipants())
        return false;
    m_host.reloadAfterParticipantEdit();
    return true;
}

void CEditLottoryDlg::OnOK()
{
    if (confirmAndSave())
        accept();
}

void CEditLottoryDlg::closeEvent(QCloseEvent* event)
{
    if (!confirmAndSave()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

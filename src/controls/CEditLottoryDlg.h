#pragma once

#include <QDialog>
#include <QFont>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class CEditLottoryDlg;
}
class CLineNumberEdit;
class ParticipantEditorHost;

// The participant list as plain text, one name per line, with line numbers.
class CEditLottoryDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr const wchar_t* Warning = L"编辑抽奖名单将删除所有已经抽取数据";
    static constexpr const wchar_t* WriteFailure = L"无法写入文件:";
    static constexpr int MaxLines = 100000;
    static constexpr const wchar_t* Utf8Notice =
        L"名单中有代码页 936 无法表示的字, data.txt 将保存为 UTF-8 (带 BOM), 以免两人的名字变得相同";
    static constexpr const wchar_t* ImportFilter = L"表格 (*.xlsx *.csv)";
    static constexpr const wchar_t* DuplicatesQuestion =
        L"; 每一行都是一个抽奖人, 中奖名单上分不出同名的人. 仍然保存?";

    // Where the file chooser comes from; tests put an answer there.
    using FileChooser = std::function<QString(QWidget* parent)>;
    static FileChooser setFileChooser(FileChooser chooser);

    CEditLottoryDlg(ParticipantEditorHost& host, QWidget* parent = nullptr);
    ~CEditLottoryDlg() override;

    void OnInitDialog();
    void LoadParticipants();
    // False when the file could not be written; the operator has been told.
    bool SaveParticipants();
    void OnOK();
    // 导入…: a sheet's rows become the editor's lines, saved as any edit is.
    void OnImport();

    CLineNumberEdit* m_edit;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks, and on OK saves and reloads; false when the save failed and the editor stays.
    bool confirmAndSave();

    std::unique_ptr<Ui::CEditLottoryDlg> m_ui;
    ParticipantEditorHost& m_host;
    QFont m_font;
    // The headings of the sheet the list was imported from, until it is saved.
    std::optional<QStringList> m_importedFields;
};

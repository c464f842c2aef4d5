#include "controls/CEditLottoryDlg.h"
#include "app/ScreenTestSupport.h"
#include "controls/CImportDlg.h"
#include "controls/CLineNumberEdit.h"
#include "controls/CLineNumberStatic.h"
#include "data/DrawData.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

TEST(CLineNumberEdit, NumbersTheVisibleDisplayLinesAndSelectsByAClick)
{
    CLineNumberEdit edit;
    edit.resize(300, 200);
    edit.setFont(QFont("DejaVu Sans", 12));
    edit.setPlainText("a\nb\nc\nd\ne");
    edit.show();
    EXPECT_EQ(edit.firstShown(), 0);
    EXPECT_EQ(edit.endShown(), 5);
    edit.SetNumberRange(0, 3);
    edit.UpdateShownRange();
    EXPECT_EQ(edit.endShown(), 3) << "a limit of three lines numbers three";

    const int plainWidth = edit.gutter()->width();
    edit.SetNumberRange(0, 100000);
    edit.UpdateShownRange();
    EXPECT_EQ(edit.gutter()->width(), plainWidth) << "the width is measured at layout only";
    edit.SetNumberFormat("%05i");
    EXPECT_EQ(edit.formatNumber(7), "00007");
    EXPECT_GT(edit.gutter()->width(), plainWidth);
    edit.SetNumberFormat("%s");
    EXPECT_EQ(edit.formatNumber(7), "7") << "only integer formats are used";

    edit.setPlainText(QString(400, QLatin1Char('w')) + "\nshort");
    edit.UpdateShownRange();
    EXPECT_GT(edit.endShown(), 2) << "a wrapped line takes several numbers";
    const int h = QFontMetrics(edit.font()).height();
    const int wrapped = edit.document()->firstBlock().layout()->lineCount();
    edit.OnSelectLine(wrapped);
    EXPECT_EQ(edit.textCursor().selectedText(), "short");
    QTest::mouseClick(edit.gutter(), Qt::LeftButton, {},
                      QPoint(5, edit.gutter()->m_topMargin + h * (wrapped + 3)));
    EXPECT_FALSE(edit.textCursor().hasSelection()) << "below the last line nothing is selected";

    edit.SetGutterBackground(QColor(240, 240, 240));
    EXPECT_EQ(edit.gutter()->grab().toImage().pixelColor(1, 1), QColor(240, 240, 240));
    edit.setEnabled(false);
    EXPECT_EQ(edit.gutter()->m_backColor, edit.palette().color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(edit.gutter()->m_textColor, edit.palette().color(QPalette::Disabled, QPalette::Text));
    edit.setEnabled(true);
    EXPECT_EQ(edit.gutter()->m_backColor, QColor(240, 240, 240));
}

// Lines held many to a block number, scroll, select and read back as one
// line per block would, before and after the edit is laid out anew.
TEST(CLineNumberEdit, ManyLinesToABlockBehaveAsOneLinePerBlock)
{
    CLineNumberEdit edit;
    edit.resize(300, 200);
    edit.setFont(QFont("DejaVu Sans", 12));
    QString text;
    for (int i = 0; i < 2 * CLineNumberEdit::LinesPerBlock + 50; ++i)
        text += QStringLiteral("n%1\n").arg(i);
    edit.SetLines(text);
    edit.show();
    QScrollBar* bar = edit.verticalScrollBar();
    for (const QSize size : {QSize(300, 200), QSize(260, 300)}) {
        edit.resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(edit.toPlainText(), text);
        EXPECT_EQ(edit.document()->lineCount(), 251) << "every line and the empty one after the last";
        for (const int top : {0, 99, 100, 180, bar->maximum()}) {
            bar->setValue(top);
            QCoreApplication::processEvents();
            edit.UpdateShownRange();
            EXPECT_EQ(edit.firstShown(), top) << size.width();
            edit.OnSelectLine(1);
            const QString expected = top + 1 < 250 ? QStringLiteral("n%1").arg(top + 1) : QString();
            EXPECT_EQ(edit.textCursor().selectedText(), expected) << top;
        }
    }
    EXPECT_EQ(edit.endShown(), 251);
}

// The participant editor over a draw screen whose first prize is drawn.
class CEditLottoryDlgTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        SetUpScreen(5, {2, 1});
        prepare();
    }

    void prepare()
    {
        folder.write("data.txt", "A\r\n\r\n  B  \r\nC\r\nD\r\n");
        screen->OnCommand(ShowCommand::IdRedraw);
        QTest::keyClick(screen, Qt::Key_Space);
        QTest::keyClick(screen, Qt::Key_Space);
    }

    // Opens the editor, lets the step work on it and returns what it showed.
    void edit(const std::function<void(CEditLottoryDlg&)>& step)
    {
        onDialog = [step](QDialog& dialog) { step(*qobject_cast<CEditLottoryDlg*>(&dialog)); };
        screen->OnCommand(ShowCommand::IdEditParticipants);
    }

    MessageRecorder recorder;
};

TEST_F(CEditLottoryDlgTest, OpensTheListAsItIsNumberedFromZero)
{
    edit([](CEditLottoryDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("编辑抽奖人名单"));
        EXPECT_EQ(dialog.m_edit->toPlainText(), "A\n\n  B  \nC\nD\n");
        EXPECT_EQ(dialog.m_edit->firstShown(), 0);
        EXPECT_EQ(dialog.m_edit->endShown(), 6) << "five lines and the empty one after the last break";
        EXPECT_EQ(dialog.m_edit->gutter()->m_backColor, QColor(240, 240, 240));
        QTest::keyClick(dialog.m_edit, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Enter makes a new line";
        EXPECT_EQ(dialog.m_edit->toPlainText().count(QLatin1Char('\n')), 6);
        EXPECT_EQ(dialog.m_edit->endShown(), 7);
        dialog.findChild<QPushButton*>("IDCANCEL")->click();
    });
    EXPECT_TRUE(recorder.messages().empty()) << "取消 asks nothing";
}

TEST_F(CEditLottoryDlgTest, TheQuestionDecidesWhetherTheListIsSavedAndTheDrawStartsAgain)
{
    struct Case
    {
        const char* what;
        int answer;
        bool closeBox;
        const char* text;
        const char* file;
        bool reloaded;
    };
    const std::string before = "A\r\n\r\n  B  \r\nC\r\nD\r\n";
    const Case cases[] = {
        {"OK", MsgBox::IdOk, false, "A\n\n  B  \nE", "A\r\nB\r\nE", true},
        {"Cancel", MsgBox::IdCancel, false, "E\n", before.c_str(), false},
        {"close box", MsgBox::IdOk, true, "F\n", "F\r\n", true},
        {"emptied", MsgBox::IdOk, false, "", before.c_str(), true},
    };
    for (const Case& c : cases) {
        prepare();
        recorder.clear();
        recorder.setNextAnswer(c.answer);
        edit([&](CEditLottoryDlg& dialog) {
            dialog.m_edit->setPlainText(c.text);
            if (c.closeBox)
                dialog.close();
            else
                dialog.findChild<QPushButton*>("IDOK")->click();
            EXPECT_FALSE(dialog.isVisible()) << c.what;
        });
        EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{CEditLottoryDlg::Warning}) << c.what;
        EXPECT_EQ(recorder.messages()[0].buttons, unsigned(MsgBox::OkCancel));
        EXPECT_EQ(folder.read("data.txt"), c.file) << c.what;
        EXPECT_EQ(screen->engine().current(), c.reloaded ? -1 : 0) << c.what;
    }
}

TEST_F(CEditLottoryDlgTest, AListThatCannotBeWrittenStaysInTheEditorAndTheShowAsItWas)
{
    QFile::setPermissions(folder.filePath("data.txt"), QFile::ReadOwner);
    recorder.setNextAnswer(MsgBox::IdOk);
    edit([](CEditLottoryDlg& dialog) {
        dialog.m_edit->setPlainText("New");
        dialog.findChild<QPushButton*>("IDOK")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.m_edit->toPlainText(), "New");
        dialog.reject();
    });
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::wstring>{CEditLottoryDlg::Warning, L"无法写入文件:data.txt"}));
    EXPECT_EQ(screen->engine().current(), 0);
    EXPECT_EQ(screen->engine().award(0).winners.size(), 2u);
}

// HR's sheet becomes the list: the columns chosen, the headings left out and
// kept for the prize desk, two people of one name told before the save, and
// a name code page 936 cannot hold turns the file into UTF-8 rather than "?".
TEST_F(CEditLottoryDlgTest, ImportsASheetAndKeepsEveryCharacterOfIt)
{
    folder.write(
        "hr.csv",
        "工号,姓名,部门\r\nA1,张伟,研发部\r\n,,\r\nA2,\xF0\xA0\xAE\xB7娜,管理层\r\nA3,张伟,研发部\r\n");
    writeFile(folder.filePath("photo.xlsx"), std::string("\x89PNG\0", 5));
    QString chosenFile;
    const CEditLottoryDlg::FileChooser previous =
        CEditLottoryDlg::setFileChooser([&chosenFile](QWidget*) { return chosenFile; });
    recorder.setNextAnswer(MsgBox::IdOk);
    onDialog = [&](QDialog& dialog) {
        if (auto* options = qobject_cast<CImportDlg*>(&dialog)) {
            EXPECT_EQ(options->names().names,
                      (QStringList{"A1 张伟 研发部", "A2 𠮷娜 管理层", "A3 张伟 研发部"}));
            const QLabel* duplicates = options->findChild<QLabel*>("duplicatesLabel");
            EXPECT_EQ(duplicates->text(), "");
            options->setColumnChosen(1, true);
            options->setColumnChosen(2, true);
            EXPECT_EQ(duplicates->text(), "有 2 个重复的名字: 张伟 研发部 ×2; 可以选上工号一列来区分");
            options->accept();
            return;
        }
        auto& editor = *qobject_cast<CEditLottoryDlg*>(&dialog);
        chosenFile = folder.filePath("photo.xlsx");
        editor.OnImport();
        EXPECT_EQ(editor.m_edit->toPlainText(), "A\n\n  B  \nC\nD\n")
            << "a file that is no sheet changes nothing";
        chosenFile = folder.filePath("hr.csv");
        editor.OnImport();
        EXPECT_EQ(editor.m_edit->toPlainText(), "张伟 研发部\n𠮷娜 管理层\n张伟 研发部\n");
        editor.findChild<QPushButton*>("IDOK")->click();
    };
    screen->OnCommand(ShowCommand::IdEditParticipants);
    CEditLottoryDlg::setFileChooser(previous);
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::wstring>{
                  QString::fromUtf8(ImportTable::NotATable).toStdWString(),
                  L"导入了 3 个名字, 跳过了 1 个空行; 按确定保存\n有 2 个重复的名字: 张伟 研发部 ×2",
                  CEditLottoryDlg::Warning,
                  std::wstring(L"有 2 个重复的名字: 张伟 研发部 ×2") + CEditLottoryDlg::DuplicatesQuestion,
                  CEditLottoryDlg::Utf8Notice}));
    EXPECT_EQ(folder.read("data.txt"),
              "\xEF\xBB\xBF张伟 研发部\r\n\xF0\xA0\xAE\xB7娜 管理层\r\n张伟 研发部\r\n");
    EXPECT_EQ(screen->engine().pool().size(), 3u);
    EXPECT_EQ(ParticipantFields(folder.event()), (QStringList{"姓名", "部门"}));
}

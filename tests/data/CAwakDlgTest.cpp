#include "data/CAwakDlg.h"
#include "app/ScreenTestSupport.h"
#include "controls/CComboListCtrl.h"
#include "controls/CInPlaceEdit.h"
#include "data/CAwardOnedlg.h"
#include "data/CIni.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The award names of the file's prize rows, in key order.
std::string fileOrder(const TestFolder& folder)
{
    CIni ini(folder.event(), AwardInfoFile);
    std::string order;
    for (const tstring& key : ini.GetKeyNames(L"AwardInfo"))
        order +=
            QString::fromStdWString(ini.GetString(L"AwardInfo", key)).section('|', 0, 0).toStdString() + " ";
    return order;
}

} // namespace

// The settings dialog over a draw screen with the prizes Prize0, Prize1, Prize2.
class CAwakDlgTest : public ScreenTest
{
protected:
    void SetUp() override { SetUpScreen(30, {3, 2, 1}); }

    // Confirms the warning and runs the dialog; the step acts on it while it is open.
    void openSettings(const std::function<void(CAwakDlg&)>& step)
    {
        recorder.setNextAnswer(MsgBox::IdOk);
        onDialog = [this, step](QDialog& dialog) {
            if (auto* settings = qobject_cast<CAwakDlg*>(&dialog)) {
                QApplication::setActiveWindow(settings);
                step(*settings);
            } else if (onEntry) {
                onEntry(*qobject_cast<CAwardOnedlg*>(&dialog));
            }
        };
        screen->OnCommand(ShowCommand::IdSettings);
    }

    MessageRecorder recorder;
    std::function<void(CAwardOnedlg&)> onEntry;
};

TEST_F(CAwakDlgTest, TheTitlesAreTakenOverOnlyOnOkAndPrizeChangesAtOnce)
{
    recorder.setNextAnswer(MsgBox::IdCancel);
    screen->OnCommand(ShowCommand::IdSettings);
    EXPECT_TRUE(dialogs.empty()) << "Cancel at the warning opens nothing";

    openSettings([](CAwakDlg& dialog) {
        EXPECT_EQ(dialog.m_mainTitleEdit->text(), "Title");
        EXPECT_EQ(dialog.m_captionEdit->text(), "Welcome");
        EXPECT_EQ(dialog.m_list->rowCount(), 3);
        EXPECT_EQ(dialog.m_list->cellText(2, 0), "3");
        dialog.m_mainTitleEdit->setText("Changed");
        dialog.m_list->selectRow(0);
        dialog.OnDeletePrize();
        dialog.findChild<QPushButton*>("IDCANCEL")->click();
    });
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::wstring>{ShowController::SettingsWarning, ShowController::SettingsWarning}));
    EXPECT_EQ(screen->area(AreaMainTitle).m_titleName, "Title");
    EXPECT_EQ(fileOrder(folder), "Prize1 Prize2 ") << "the deletion stays after Cancel";

    openSettings([](CAwakDlg& dialog) {
        dialog.m_mainTitleEdit->setText("New title");
        dialog.m_captionEdit->clear();
        dialog.findChild<QPushButton*>("IDOK")->click();
    });
    EXPECT_EQ(screen->area(AreaMainTitle).m_titleName, "New title");
    EXPECT_EQ(screen->area(AreaResultLine).m_titleName, "");
    const std::string ini = folder.read("AwardInfo.ini");
    EXPECT_NE(ini.find("[AwardMainTitle]\r\nTitleName=New title\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[AwardResult]\r\nTitleName=\r\n"), std::string::npos);
}

TEST_F(CAwakDlgTest, ThePopupOffersWhatTheSelectionAllowsAndEachCommandIsSavedAtOnce)
{
    struct Case
    {
        int selected;
        int command;
        const char* enabled;
        const char* order;
    };
    // Enabled entries: I insert, D delete, U up, W down.
    const Case cases[] = {
        {-1, 0, "I", "Prize0 Prize1 Prize2 "},
        {1, CAwakDlg::IdMoveUp, "IDUW", "Prize1 Prize0 Prize2 "},
        {1, CAwakDlg::IdMoveDown, "IDUW", "Prize1 Prize2 Prize0 "},
        {0, CAwakDlg::IdMoveDown, "IDW", "Prize2 Prize1 Prize0 "},
        {2, CAwakDlg::IdDelete, "IDU", "Prize2 Prize1 "},
        {0, CAwakDlg::IdDelete, "IDW", "Prize1 "},
        {0, CAwakDlg::IdDelete, "ID", ""},
        {-1, 0, "I", ""},
    };
    std::string enabled;
    int chosen = 0;
    ModalRunner::setMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        enabled.clear();
        QAction* pick = nullptr;
        for (QAction* action : menu.actions()) {
            if (action->isEnabled())
                enabled += "IDUW"[action->data().toInt() - CAwakDlg::IdInsert];
            if (action->data().toInt() == chosen)
                pick = action;
        }
        return pick;
    });
    openSettings([&](CAwakDlg& dialog) {
        for (const Case& c : cases) {
            if (c.selected >= 0)
                dialog.m_list->selectRow(c.selected);
            chosen = c.command;
            dialog.OnPrizeListRightClick(QPoint());
            EXPECT_EQ(enabled, c.enabled) << c.selected << " " << c.command;
            EXPECT_EQ(fileOrder(folder), c.order) << c.selected << " " << c.command;
            EXPECT_TRUE(dialog.m_list->selectionModel()->selectedRows().isEmpty())
                << "the list is filled anew";
        }
    });
    EXPECT_EQ(screen->engine().prizeCount(), 0);
    EXPECT_NE(folder.read("AwardInfo.ini").find("[AwardInfo]\r\n["), std::string::npos)
        << "a section without keys";
}

TEST_F(CAwakDlgTest, TheEntryDialogRefusesBadCountsAndAppendsOnePrize)
{
    std::vector<std::wstring> refusals;
    onEntry = [&](CAwardOnedlg& entry) {
        EXPECT_EQ(entry.windowTitle(), QString::fromUtf8("插入奖品"));
        auto* count = entry.findChild<QLineEdit*>("edit1013");
        EXPECT_EQ(count->text(), "1");
        entry.findChild<QLineEdit*>("edit1012")->setText(QString::fromUtf8("纪念奖"));
        for (const char* bad : {"0", "100001", "abc", "", "1.5"}) {
            count->setText(bad);
            entry.findChild<QPushButton*>("IDOK")->click();
            EXPECT_EQ(entry.result(), 0) << bad;
            EXPECT_EQ(count->selectedText(), count->text()) << "back on the count";
        }
        CAwardOnedlg::setFileChooser([](QWidget*, const QString& filter) {
            EXPECT_EQ(filter, QString::fromWCharArray(CAwardOnedlg::PictureFilter));
            return QString("/event/Backimg/gift.png");
        });
        entry.findChild<QPushButton*>("button1016")->click();
        CAwardOnedlg::setFileChooser([](QWidget*, const QString&) { return QString(); });
        entry.findChild<QPushButton*>("button1016")->click();
        CAwardOnedlg::setFileChooser(nullptr);
        EXPECT_EQ(entry.findChild<QLineEdit*>("edit1015")->text(), "/event/Backimg/gift.png");
        count->setText(" 100000 ");
        entry.findChild<QPushButton*>("IDOK")->click();
    };
    openSettings([&](CAwakDlg& dialog) {
        dialog.m_list->selectRow(1);
        dialog.OnInsertPrize();
        EXPECT_EQ(dialog.m_list->rowCount(), 4);
        EXPECT_EQ(dialog.m_list->cellText(3, 0), "4");
        refusals = recorder.texts();
        onEntry = [](CAwardOnedlg& entry) { entry.findChild<QPushButton*>("IDCANCEL")->click(); };
        dialog.OnInsertPrize();
        EXPECT_EQ(dialog.m_list->rowCount(), 4) << "Cancel appends nothing";
    });
    const std::wstring range = L"Enter an integer between 1 and 100000.";
    EXPECT_EQ(refusals, (std::vector<std::wstring>{ShowController::SettingsWarning, range, range,
                                                   CAwardOnedlg::NotAnInteger, CAwardOnedlg::NotAnInteger,
                                                   CAwardOnedlg::NotAnInteger}));
    EXPECT_EQ(CIni(folder.event(), AwardInfoFile).GetString(L"AwardInfo", L"AwardItem3"),
              L"纪念奖|0|100000||/event/Backimg/gift.png");
}

TEST_F(CAwakDlgTest, EditedCellsGoBackToTheirPrizesAndTheDrawFollowsTheTable)
{
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    ASSERT_EQ(screen->engine().award(0).winners.size(), 3u);
    openSettings([this](CAwakDlg& dialog) {
        CComboListCtrl* list = dialog.m_list;
        const QPoint count = list->visualRect(list->model()->index(1, 2)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, count);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, count);
        ASSERT_NE(CComboListCtrl::sharedEdit->window(), nullptr);
        QTest::keyClicks(CComboListCtrl::sharedEdit->window(), "20");
        QTest::keyClick(CComboListCtrl::sharedEdit->window(), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Enter ends the edit, not the dialog";
        dialog.OnCellEdited(2, 2, "0");
        EXPECT_EQ(list->cellText(2, 2), "1") << "not a count: the old one comes back";
        dialog.OnCellEdited(2, 1, "A|B");
        EXPECT_EQ(list->cellText(2, 1), QString::fromUtf8("A｜B"));
        recorder.clear();
        dialog.OnCellEdited(1, 5, QString::fromUtf8("不含"));
        EXPECT_EQ(list->cellText(1, 5), "") << "a range that does not parse is refused";
        EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"抽奖范围有误: \"不含\" 后面缺少内容"});
        dialog.OnCellEdited(2, 5, QString::fromUtf8("包含 p1 且 不含 p2"));
        dialog.m_list->selectRow(0);
        dialog.OnDeletePrize();
    });
    const DrawEngine& engine = screen->engine();
    EXPECT_EQ(engine.award(0).winnerCount, 20);
    EXPECT_EQ(engine.award(1).awardName, L"A｜B");
    EXPECT_EQ(fileOrder(folder), "Prize1 A｜B ");
    EXPECT_EQ(engine.award(1).range, L"包含 p1 且 不含 p2");
    CIni ini(folder.event(), AwardInfoFile);
    EXPECT_EQ(ini.GetKeyNames(L"AwardRange"), std::vector<tstring>{L"Range1"});
    EXPECT_EQ(ini.GetString(L"AwardRange", L"Range1"), L"包含 p1 且 不含 p2")
        << "the range moves with its prize";
    EXPECT_EQ(engine.current(), -1) << "the deleted prize was the finished one";
    EXPECT_EQ(folder.read("AwardResult.ini").find("Itme0"), std::string::npos)
        << "the store follows the table";
    QTest::keyClick(screen, Qt::Key_Space);
    QTest::keyClick(screen, Qt::Key_Space);
    EXPECT_EQ(engine.award(0).winners.size(), 20u) << "the next prize is drawn, not skipped";
}

// A prize's own music: chosen in the entry dialog or from a music cell of
// the table, named relative to the event folder, and back to the default;
// and its winners shown one at a time from its 逐个揭晓 cell.
TEST_F(CAwakDlgTest, EachPrizeTakesItsOwnMusicFromAFileChooser)
{
    const QString gala = folder.event().file("Music/gala.mp3");
    CAwardOnedlg::setFileChooser([&gala](QWidget*, const QString&) { return gala; });
    QString menuChoice;
    ModalRunner::setMenuRunner([&menuChoice](QMenu& menu, const QPoint&) -> QAction* {
        for (QAction* action : menu.actions())
            if (action->text() == menuChoice)
                return action;
        return nullptr;
    });
    openSettings([&](CAwakDlg& dialog) {
        auto* list = dialog.findChild<CComboListCtrl*>();
        for (const char* choice : {"选择文件...", "使用默认音乐"}) {
            menuChoice = QString::fromUtf8(choice);
            emit list->cellDoubleClicked(1, CAwakDlg::ColumnStopMusic);
            const bool chosen = menuChoice.startsWith(QStringLiteral("选择"));
            EXPECT_EQ(list->item(1, CAwakDlg::ColumnStopMusic)->text(), chosen ? "Music\\gala.mp3" : "");
            EXPECT_EQ(screen->engine().award(1).stopMusic, chosen ? L"Music\\gala.mp3" : L"");
            EXPECT_EQ(folder.read("AwardInfo.ini").find("Stop1=Music\\gala.mp3") != std::string::npos,
                      chosen);
        }
        dialog.OnCellEdited(2, CAwakDlg::ColumnReveal, QStringLiteral("是"));
        EXPECT_TRUE(screen->engine().award(2).reveal);
        EXPECT_NE(folder.read("AwardInfo.ini").find("[AwardReveal]\r\nReveal2=1"), std::string::npos);
        onEntry = [](CAwardOnedlg& entry) {
            entry.findChild<QLineEdit*>("edit1012")->setText("Prize3");
            entry.findChild<QPushButton*>("buttonStartMusic")->click();
            entry.findChild<QPushButton*>("IDOK")->click();
        };
        dialog.OnInsertPrize();
    });
    CAwardOnedlg::setFileChooser(nullptr);
    ModalRunner::setMenuRunner(nullptr);
    ASSERT_EQ(screen->engine().prizeCount(), 4);
    EXPECT_EQ(screen->engine().award(3).startMusic, L"Music\\gala.mp3");
    EXPECT_NE(folder.read("AwardInfo.ini").find("Start3=Music\\gala.mp3"), std::string::npos);
}

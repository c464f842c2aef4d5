#include "app/ScreenTestSupport.h"
#include "areas/CColorPickerCB.h"
#include "data/CAwakDlg.h"
#include "data/CIni.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QPoint InTitle(500, 70);
const QPoint InSub(500, 200);
const QPoint Outside(500, 260);

Rect fileRect(const TestFolder& folder, const wchar_t* section)
{
    CIni ini(folder.event(), AwardInfoFile);
    return Rect(ini.GetInt(section, L"PosLeft"), ini.GetInt(section, L"PosTop"),
                ini.GetInt(section, L"PosRight"), ini.GetInt(section, L"PosBottom"));
}

} // namespace

class AreaEditingTest : public ScreenTest
{
protected:
    // The main title at (100, 20, 900, 120) and the subtitle reaching up into it.
    void SetUp() override
    {
        SetUpScreen(30, {3});
        const auto replace = [](std::string& text, const std::string& from, const std::string& to) {
            text.replace(text.find(from), from.size(), to);
        };
        std::string ini = folder.read("AwardInfo.ini");
        replace(ini, "PosLeft=160\r\nPosTop=40\r\nPosRight=1760\r\nPosBottom=160",
                "PosLeft=100\r\nPosTop=20\r\nPosRight=900\r\nPosBottom=120");
        replace(ini, "PosTop=160", "PosTop=100");
        folder.write("AwardInfo.ini", ini);
        openScreen(QRect(0, 0, 1920, 1080));
        screen->show();
    }

    void rightClick(const QPoint& p) { QTest::mouseClick(screen, Qt::RightButton, {}, p); }

    // Selects the area under the point and starts editing it; the repaint
    // and the write that follows it happen as on the show.
    void editAt(const QPoint& p)
    {
        rightClick(p);
        screen->OnCommand(ShowCommand::IdEditPosition);
        settle();
    }

    void settle()
    {
        shot();
        QCoreApplication::processEvents();
    }

    void drag(const QPoint& from, const QPoint& to)
    {
        QTest::mousePress(screen, Qt::LeftButton, {}, from);
        QTest::mouseMove(screen, (from + to) / 2);
        QTest::mouseMove(screen, to);
        QTest::mouseRelease(screen, Qt::LeftButton, {}, to);
        settle();
    }
};

TEST_F(AreaEditingTest, ARightClickSelectsTheLowestAreaUnderItOrClearsTheSelection)
{
    struct Case
    {
        QPoint point;
        int selected;
    };
    const Case cases[] = {{QPoint(500, 110), AreaMainTitle},
                          {QPoint(500, 120), AreaSubTitle},
                          {QPoint(899, 20), AreaMainTitle},
                          {QPoint(900, 20), -1},
                          {Outside, -1}};
    for (const Case& c : cases) {
        menus.clear();
        rightClick(InTitle);
        rightClick(c.point);
        EXPECT_EQ(screen->selectedArea(), c.selected) << c.point.x() << "," << c.point.y();
        EXPECT_EQ(menus.size(), c.selected < 0 ? 1u : 2u) << "one menu per click on an area";
    }
}

TEST_F(AreaEditingTest, EachStartOfEditingGrowsTheAreaByOnePixelAndTheFileFollows)
{
    const std::string before = folder.read("AwardInfo.ini");
    editAt(InTitle);
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::EditPosition);
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, Rect(99, 19, 901, 121));
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(99, 19, 901, 121));
    const QImage image = shot();
    EXPECT_GT(count(image, QRect(99, 30, 1, 80), Qt::black), 10) << "dotted outline";
    EXPECT_GT(count(image, QRect(99, 30, 1, 80), Qt::white), 10);
    settle();
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(99, 19, 901, 121)) << "repaints alone change nothing";

    screen->OnCommand(ShowCommand::IdEditPosition);
    settle();
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(98, 18, 902, 122));
    EXPECT_EQ(fileRect(folder, L"AwardSubTitle"), Rect(360, 100, 1560, 235)) << "only the edited area";
}

TEST_F(AreaEditingTest, DragsMoveAndResizeTheAreaIntoTheFileAndEscapeCancels)
{
    editAt(InTitle);
    QTest::mouseMove(screen, InTitle);
    EXPECT_EQ(screen->cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(screen, QPoint(899, 119));
    EXPECT_EQ(screen->cursor().shape(), Qt::SizeFDiagCursor);

    drag(InTitle, InTitle + QPoint(50, 30));
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(149, 49, 951, 151));
    drag(QPoint(949, 149), QPoint(1049, 199));
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(149, 49, 1051, 201))
        << "resized by the bottom-right handle";

    QTest::mousePress(screen, Qt::LeftButton, {}, QPoint(500, 100));
    QTest::mouseMove(screen, QPoint(800, 600));
    settle();
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, Rect(449, 549, 1351, 701)) << "follows the drag";
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(149, 49, 1051, 201))
        << "written when the drag is over";
    QTest::keyClick(screen, Qt::Key_Escape);
    QTest::mouseRelease(screen, Qt::LeftButton, {}, QPoint(800, 600));
    settle();
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, Rect(149, 49, 1051, 201));
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(149, 49, 1051, 201));
    EXPECT_TRUE(screen->isVisible()) << "Escape still never ends the show";
}

TEST_F(AreaEditingTest, EditingEndsByAClickOutsideOrARightClickOnAnotherArea)
{
    editAt(InTitle);
    QTest::mouseClick(screen, Qt::LeftButton, {}, Outside);
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::None);
    EXPECT_EQ(screen->selectedArea(), -1);
    EXPECT_FALSE(screen->testAttribute(Qt::WA_SetCursor));
    drag(InTitle, InTitle + QPoint(50, 30));
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, Rect(99, 19, 901, 121))
        << "not editing: a drag does nothing";

    editAt(InTitle);
    rightClick(InSub);
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::None);
    EXPECT_EQ(screen->selectedArea(), AreaSubTitle);
    settle();
    EXPECT_EQ(screen->area(AreaSubTitle).m_rect, Rect(360, 100, 1560, 235))
        << "the tracker stays with its area";
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(98, 18, 902, 122));

    editAt(InSub);
    rightClick(InSub + QPoint(10, 10));
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::EditPosition) << "the same area goes on being edited";
}

TEST_F(AreaEditingTest, SetFontStoresTheDialogsChoiceAndCancelChangesNothing)
{
    onDialog = [](QDialog& dialog) {
        dialog.findChild<QComboBox*>("combo1002")->setEditText("DejaVu Sans");
        dialog.findChild<QComboBox*>("combo1003")->setEditText("72");
        auto* colors = dialog.findChild<CColorPickerCB*>("combo1004");
        colors->SelectColor(rgbColor(255, 0, 0));
        emit colors->activated(colors->currentIndex());
        dialog.findChild<QPushButton*>("IDOK")->click();
    };
    editAt(InTitle);
    screen->OnCommand(ShowCommand::IdSetFont);
    EXPECT_EQ(dialogs, std::vector<QString>{"CSimpleFontDialog"});
    EXPECT_EQ(screen->areaMode(), AreaEditor::Mode::SetFont);
    const std::string ini = folder.read("AwardInfo.ini");
    EXPECT_NE(ini.find("PosLeft=99\r\nPosTop=19\r\nPosRight=901\r\nPosBottom=121\r\nFontSize=72\r\n"
                       "FontName=DejaVu Sans\r\nFontColor=255,255,0,0\r\n"),
              std::string::npos);

    onDialog = [](QDialog& dialog) { dialog.findChild<QPushButton*>("IDCANCEL")->click(); };
    rightClick(InSub);
    screen->OnCommand(ShowCommand::IdSetFont);
    settle();
    EXPECT_EQ(folder.read("AwardInfo.ini"), ini);
    EXPECT_EQ(screen->area(AreaSubTitle).m_fontSize, 40);
}

TEST_F(AreaEditingTest, ChangesTheFileCannotTakeAreToldOnceKeptAndWrittenWithTheNextChangeOrAtExit)
{
    MessageRecorder recorder;
    const std::string before = folder.read("AwardInfo.ini");
    QFile::setPermissions(folder.filePath("AwardInfo.ini"), QFile::ReadOwner);
    editAt(InTitle);
    for (int i = 0; i < 5; ++i)
        settle();
    drag(InTitle, InTitle + QPoint(10, 0));
    recorder.setNextAnswer(MsgBox::IdOk);
    onDialog = [](QDialog& dialog) {
        auto& settings = *qobject_cast<CAwakDlg*>(&dialog);
        settings.OnCellEdited(0, CAwakDlg::ColumnAward, "Renamed");
        settings.m_subTitleEdit->setText(QString::fromStdWString(L"新年会\U00020BB7"));
        settings.OnOK();
    };
    screen->OnCommand(ShowCommand::IdSettings);
    screen->OnCommand(ShowCommand::IdRedraw);
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::wstring>{L"无法写入文件:.\\AwardInfo.ini", ShowController::SettingsWarning}))
        << "told once, not on every frame or change";
    EXPECT_EQ(folder.read("AwardInfo.ini"), before);
    EXPECT_EQ(screen->area(AreaMainTitle).m_rect, Rect(109, 19, 911, 121)) << "the show goes on";
    EXPECT_EQ(screen->engine().award(0).awardName, L"Renamed") << "a redraw keeps the table the file lacks";

    QFile::setPermissions(folder.filePath("AwardInfo.ini"), QFile::ReadOwner | QFile::WriteOwner);
    closeScreen();
    EXPECT_EQ(fileRect(folder, L"AwardMainTitle"), Rect(109, 19, 911, 121));
    CIni ini(folder.event(), AwardInfoFile);
    EXPECT_EQ(ini.GetString(L"AwardInfo", L"AwardItem0").rfind(L"Renamed|0|3|", 0), 0u);
    EXPECT_EQ(ini.GetString(L"AwardSubTitle", L"TitleName"), L"新年会\U00020BB7");
    EXPECT_EQ(folder.read("AwardInfo.ini").rfind("\xFF\xFE", 0), 0u) << "code page 936 has no \U00020BB7";
}

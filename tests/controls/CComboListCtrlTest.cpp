#include "controls/CComboListCtrl.h"
#include "controls/CInPlaceCombo.h"
#include "controls/CInPlaceEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Edit
{
    int row, column;
    QString text;
};

} // namespace

// The prize list as the settings dialog sets it up: five columns, the first read-only.
class CComboListCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        list = std::make_unique<CComboListCtrl>();
        list->resize(600, 200);
        list->setColumnCount(5);
        const int widths[] = {60, 60, 60, 120, 240};
        for (int c = 0; c < 5; ++c)
            list->setColumnWidth(c, widths[c]);
        list->setRowCount(3);
        for (int r = 0; r < 3; ++r)
            list->setRowTexts(r, {QString::number(r + 1), QString("A%1").arg(r), "5", "Gift", "pic.png"});
        list->MarkColumnReadOnly(0);
        QObject::connect(list.get(), &CComboListCtrl::cellEdited,
                         [this](int row, int column, const QString& text) {
                             edits.push_back({row, column, text});
                         });
        list->show();
        QApplication::setActiveWindow(list.get());
    }

    QPoint cell(int row, int column) const
    {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    void click(const QPoint& p, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, p);
    }
    QLineEdit* editor() const
    {
        return CComboListCtrl::sharedEdit ? CComboListCtrl::sharedEdit->window() : nullptr;
    }
    // Opens the cell's editor, types and ends with the key.
    void type(int row, int column, const QString& keys, Qt::Key end = Qt::Key_Return)
    {
        click(cell(row, column));
        ASSERT_NE(editor(), nullptr);
        QTest::keyClicks(editor(), keys);
        QTest::keyClick(editor(), end);
    }

    std::unique_ptr<CComboListCtrl> list;
    std::vector<Edit> edits;
};

TEST_F(CComboListCtrlTest, ClicksOpenTheEditorOnlyWhereAndWhenTheyShould)
{
    click(cell(1, 1));
    EXPECT_EQ(editor(), nullptr) << "the first click only makes the list current";
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());

    struct Case
    {
        QPoint point;
        Qt::KeyboardModifiers modifiers;
        int selectedRow;
        int editedColumn;
    };
    const int boundary = list->columnViewportPosition(2);
    const Case cases[] = {
        {cell(1, 1), {}, 1, 1},
        {cell(2, 3), {}, 2, 3},
        {cell(0, 1), Qt::ControlModifier, 0, -1},
        {cell(1, 4), Qt::ShiftModifier, 1, -1},
        {cell(2, 0), {}, 2, -1},
        {QPoint(boundary, cell(0, 1).y()), {}, 0, 1},
        {QPoint(boundary + 1, cell(0, 1).y()), {}, 0, 2},
    };
    CInPlaceEdit* shared = nullptr;
    for (const Case& c : cases) {
        click(c.point, c.modifiers);
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows.first().row(), c.selectedRow) << c.point.x() << "," << c.point.y();
        ASSERT_EQ(editor() != nullptr, c.editedColumn >= 0) << c.point.x() << "," << c.point.y();
        if (!editor())
            continue;
        EXPECT_EQ(CComboListCtrl::sharedEdit->m_column, c.editedColumn);
        EXPECT_EQ(editor()->selectedText(), list->cellText(c.selectedRow, c.editedColumn));
        EXPECT_TRUE(!shared || shared == CComboListCtrl::sharedEdit) << "one editor object for every edit";
        shared = CComboListCtrl::sharedEdit;
    }
    // Every editor opened was ended by the next click, with its text unchanged.
    EXPECT_EQ(edits.size(), 3u);
}

TEST_F(CComboListCtrlTest, EnterCommitsEscapeRestoresAndScrollingCommits)
{
    list->resize(300, 200);
    click(cell(0, 1));
    type(0, 1, "x", Qt::Key_Escape);
    EXPECT_EQ(list->cellText(0, 1), "A0");
    type(0, 1, "New", Qt::Key_Return);
    EXPECT_EQ(list->cellText(0, 1), "New");
    click(cell(0, 3));
    ASSERT_NE(editor(), nullptr);
    QTest::keyClicks(editor(), "Scrolled");
    QScrollBar* bar = list->horizontalScrollBar();
    bar->setValue(bar->value() == 0 ? bar->maximum() : 0);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(list->cellText(0, 3), "Scrolled");
    click(cell(1, 1));
    editor()->clear();
    QTest::keyClick(editor(), Qt::Key_Return);
    ASSERT_EQ(edits.size(), 4u);
    EXPECT_EQ(edits[0].text, "A0") << "a cancelled edit is still reported";
    EXPECT_EQ(edits[3].row, 1);
    EXPECT_EQ(edits[3].text, "") << "an emptied cell stays empty";
}

TEST_F(CComboListCtrlTest, TheCharacterAndPasteRules)
{
    struct Case
    {
        int column;
        const char* characters;
        const char* typed;
        const char* pasted;
        const char* result;
    };
    const Case cases[] = {
        {2, "", "10", "", "10"},
        {2, "", "0a -5", "", "5"},
        {2, "0123456789", "20", "7", "207"},
        {1, "", "a b", "pasted", "a b"},
        {1, "0123456789", "1a2", "12a", "12"},
        {1, "0123456789", "", "12", "12"},
    };
    click(cell(0, 1));
    for (const Case& c : cases) {
        list->SetEditCharacters(c.characters);
        click(cell(0, c.column));
        ASSERT_NE(editor(), nullptr);
        editor()->clear();
        QTest::keyClicks(editor(), c.typed);
        QApplication::clipboard()->setText(c.pasted);
        QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(editor(), Qt::Key_Return);
        EXPECT_EQ(list->cellText(0, c.column), c.result)
            << c.column << " typed " << c.typed << " pasted " << c.pasted;
    }
}

TEST_F(CComboListCtrlTest, ColumnsScrollIntoViewAndRowsHaveTheirColours)
{
    list->resize(400, 200);
    click(cell(0, 1));
    click(QPoint(list->columnViewportPosition(4) + 30, cell(0, 1).y()));
    ASSERT_NE(editor(), nullptr);
    const int scrolled = list->horizontalScrollBar()->value();
    EXPECT_GT(scrolled, 0);
    EXPECT_EQ(editor()->geometry().right() + 1, list->viewport()->width())
        << "its right edge meets the client's";
    EXPECT_EQ(editor()->geometry().width(), 240);
    QTest::keyClick(editor(), Qt::Key_Return);
    list->OpenCellEdit(1, 1, "A1");
    EXPECT_EQ(list->horizontalScrollBar()->value(), 60)
        << "a column left of the view scrolls to its left edge";
    EXPECT_EQ(editor()->geometry().left(), 0);
    QTest::keyClick(editor(), Qt::Key_Return);

    list->resize(600, 200);
    list->selectRow(1);
    const QImage image = list->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell(1, 3) + QPoint(50, 0)), CComboListCtrl::SelectedBack);
    EXPECT_EQ(image.pixelColor(cell(2, 3) + QPoint(50, 0)), QColor(Qt::white));
}

TEST(CInPlaceCombo, OffersTheParentsChoicesAndEndsWithThePick)
{
    CComboListCtrl list;
    list.resize(400, 200);
    list.setColumnCount(2);
    list.setRowCount(1);
    list.setRowTexts(0, {"1", "Be"});
    list.MarkColumnDropDown(1);
    list.m_cellChoices = [](int) { return QStringList{"Alpha", "beta", "Gamma"}; };
    list.show();
    const QPoint p = list.visualRect(list.model()->index(0, 1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, p);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, p);
    ASSERT_NE(CComboListCtrl::sharedCombo, nullptr);
    QComboBox* combo = CComboListCtrl::sharedCombo->window();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "beta") << "the first choice the cell's text begins, in any case";
    combo->showPopup();
    combo->setCurrentIndex(2);
    combo->hidePopup();
    EXPECT_EQ(CComboListCtrl::sharedCombo->window(), nullptr) << "closing the list ends the edit";
    EXPECT_EQ(list.cellText(0, 1), "Gamma");
}

#include "areas/CSimpleFontDialog.h"
#include "areas/CColorPickerCB.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

TEST(CColorPickerCB, OffersTheSixteenColoursInPinyinOrderOnce)
{
    CColorPickerCB picker;
    picker.FillColors();
    QStringList names;
    for (int i = 0; i < picker.count(); ++i)
        names << picker.itemText(i);
    EXPECT_EQ(names, QString::fromUtf8(
                         "白色 橄榄树 海军蓝 褐紫红色 黑色 红色 黄色 灰色 蓝色 绿色 青色 水绿色 酸橙色 "
                         "银白 紫红色 紫色")
                         .split(' '));
    EXPECT_TRUE(picker.m_filled);
    EXPECT_EQ(picker.currentIndex(), 0);
    EXPECT_EQ(picker.colorAt(0), rgbColor(255, 255, 255));
    picker.SelectColor(rgbColor(0, 0, 128));
    EXPECT_EQ(picker.currentText(), QString::fromUtf8("海军蓝"));
    picker.SelectColor(rgbColor(1, 2, 3));
    EXPECT_EQ(picker.currentText(), QString::fromUtf8("海军蓝")) << "an unknown colour keeps the selection";
}

TEST(CColorPickerCB, DrawsTheSwatchToAQuarterOfTheWidthAndTheNameAfterIt)
{
    CColorPickerCB picker;
    picker.SelectColor(rgbColor(255, 0, 0));
    QImage image(200, 24, QImage::Format_RGB32);
    image.fill(Qt::gray);
    {
        QPainter painter(&image);
        picker.DrawItem(painter, Rect(0, 0, 200, 24), picker.currentIndex(), 0);
    }
    const QRgb window = picker.palette().color(QPalette::Base).rgb();
    const int y = 12;
    EXPECT_EQ(image.pixel(1, y), window);
    EXPECT_EQ(image.pixel(2, y), qRgb(0, 0, 0)) << "frame";
    EXPECT_EQ(image.pixel(3, y), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(48, y), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(49, y), qRgb(0, 0, 0)) << "frame";
    EXPECT_EQ(image.pixel(50, y), window);
    EXPECT_EQ(image.pixel(30, 1), window);
    EXPECT_EQ(image.pixel(30, 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 21), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 22), window);
    int firstInk = -1;
    for (int x = 50; x < 200 && firstInk < 0; ++x) {
        for (int row = 0; row < 24; ++row) {
            if (image.pixel(x, row) != window)
                firstInk = x;
        }
    }
    EXPECT_GE(firstInk, 52) << "the name starts at 52";
    EXPECT_LT(firstInk, 60);

    QImage selected(200, 24, QImage::Format_RGB32);
    {
        QPainter painter(&selected);
        picker.DrawItem(painter, Rect(0, 0, 200, 24), -1, CColorPickerCB::ItemSelected);
    }
    EXPECT_EQ(selected.pixel(100, 12), picker.palette().color(QPalette::Highlight).rgb());
}

TEST(CSimpleFontDialog, ShowsTheCallersValuesAndOkStoresTheChoice)
{
    struct Case
    {
        COLORREF color;
        const char* shownColor;
        const char* typedSize;
        int storedSize;
        int picked;
        COLORREF storedColor;
    };
    const Case cases[] = {
        {rgbColor(255, 0, 0), "红色", "36px", 36, -1, rgbColor(255, 0, 0)},
        {rgbColor(1, 2, 3), "白色", "abc", 0, -1, rgbColor(1, 2, 3)},
        {rgbColor(1, 2, 3), "白色", "12", 12, 0, rgbColor(255, 255, 255)},
        {rgbColor(0, 255, 255), "水绿色", " -99999999999", INT_MIN, 15, rgbColor(128, 0, 128)},
    };
    for (const Case& c : cases) {
        CSimpleFontDialog dialog;
        dialog.m_fontColor = c.color;
        dialog.m_fontSize = 50;
        dialog.m_fontName = QString::fromUtf8("微软雅黑");
        dialog.OnInitDialog();
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("字体"));
        EXPECT_EQ(dialog.m_colorCombo->currentText(), QString::fromUtf8(c.shownColor));
        EXPECT_EQ(dialog.m_sizeCombo->currentText(), "50") << "shown as given though not listed";
        EXPECT_EQ(dialog.m_sizeCombo->currentIndex(), -1);
        EXPECT_EQ(dialog.m_fontCombo->currentText(), QString::fromUtf8("微软雅黑"));
        ASSERT_EQ(dialog.m_sizeCombo->count(), 34);
        EXPECT_EQ(dialog.m_sizeCombo->itemText(0), "8");
        EXPECT_EQ(dialog.m_sizeCombo->itemText(33), "140");
        EXPECT_GT(dialog.m_fontCombo->count(), 0);

        dialog.m_sizeCombo->setEditText(QString::fromUtf8(c.typedSize));
        dialog.m_fontCombo->setEditText("Some Face");
        if (c.picked >= 0) {
            dialog.m_colorCombo->setCurrentIndex(c.picked);
            emit dialog.m_colorCombo->activated(c.picked);
        }
        // Enter in the size box is OK, as the operator types it.
        dialog.show();
        QTest::keyClick(dialog.m_sizeCombo, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
        EXPECT_EQ(LastFont.size, c.storedSize) << c.typedSize;
        EXPECT_EQ(LastFont.color, c.storedColor) << "a colour the list lacks stays unless one is picked";
        EXPECT_EQ(LastFont.faceName, "Some Face");
    }

    CSimpleFontDialog dialog;
    dialog.OnInitDialog();
    // The face list opens wide enough for the longest name, however narrow the box.
    dialog.show();
    dialog.m_fontCombo->showPopup();
    QAbstractItemView* faces = dialog.m_fontCombo->view();
    int widest = 0;
    for (int i = 0; i < dialog.m_fontCombo->count(); ++i)
        widest = std::max(widest, faces->fontMetrics().horizontalAdvance(dialog.m_fontCombo->itemText(i)));
    EXPECT_GT(faces->width(), widest) << faces->width() << " px for names of " << widest << " px";
    EXPECT_EQ(dialog.m_fontCombo->width(), 99);
    dialog.m_fontCombo->hidePopup();
    dialog.m_sizeCombo->setEditText("12");
    dialog.findChild<QPushButton*>("IDCANCEL")->click();
    EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
    EXPECT_EQ(LastFont.size, INT_MIN) << "Cancel writes nothing";
    EXPECT_EQ(LastFont.faceName, "Some Face");
}

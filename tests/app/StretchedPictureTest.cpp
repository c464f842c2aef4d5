#include "app/StretchedPicture.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <gtest/gtest.h>

// Whatever an operator puts under a picture's name, loading never fails
// loudly; a JPEG too big to decode whole is shown smaller.
TEST(StretchedPicture, LoadsWhatItCanAndDrawsNothingForTheRest)
{
    TestFolder folder;
    QImage big(1200, 1000, QImage::Format_RGB32);
    big.fill(QColor(0, 200, 0));
    ASSERT_TRUE(big.save(folder.filePath("big.jpg"), "JPG"));
    ASSERT_TRUE(big.save(folder.filePath("big.png"), "PNG"));
    QDir(folder.path()).mkdir("folder.jpg");
    folder.write("empty.jpg", "");

    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes: the 1200 x 1000 picture needs almost 5
    struct Case
    {
        const char* file;
        bool loads;
    } cases[] = {{"big.jpg", true},
                 {"big.png", false},
                 {"folder.jpg", false},
                 {"empty.jpg", false},
                 {"missing.jpg", false}};
    for (const Case& c : cases) {
        StretchedPicture picture;
        EXPECT_EQ(picture.load(folder.filePath(c.file)), c.loads) << c.file;
        QImage screen(200, 100, QImage::Format_RGB32);
        screen.fill(Qt::black);
        QPainter painter(&screen);
        picture.draw(painter, Rect(0, 0, 200, 100));
        painter.end();
        EXPECT_EQ(screen.pixelColor(100, 50).green() > 150, c.loads) << c.file;
    }
    QImageReader::setAllocationLimit(previousLimit);
}

// A picture kept in proportion fills its area along one side and is centred along the other.
TEST(StretchedPicture, AFittedPictureKeepsItsProportionsCentred)
{
    const struct
    {
        QSize picture;
        Rect area;
        Rect fitted;
    } cases[] = {
        {{400, 300}, Rect(0, 0, 400, 300), Rect(0, 0, 400, 300)},
        {{400, 300}, Rect(100, 100, 500, 500), Rect(100, 150, 500, 450)},
        {{300, 600}, Rect(0, 0, 400, 400), Rect(100, 0, 300, 400)},
        {{1920, 1080}, Rect(10, 20, 330, 260), Rect(10, 50, 330, 230)},
        {{1, 1000}, Rect(0, 0, 100, 100), Rect(50, 0, 50, 100)},
        {{0, 0}, Rect(0, 0, 100, 100), Rect(0, 0, 100, 100)},
        {{400, 300}, Rect(500, 500, 100, 100), Rect(100, 150, 500, 450)},
    };
    for (const auto& c : cases) {
        const Rect fitted = StretchedPicture::fitted(c.picture, c.area);
        EXPECT_EQ(fitted.toQRect(), c.fitted.toQRect()) << c.picture.width() << "x" << c.picture.height();
    }
}

#include "support/TestMain.h"

#include "app/DrawWorker.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    failOnUnexpectedMessages();
    // Tests step the show a call at a time; those of the worker turn it on.
    DrawWorker::setInline(true);
    return RUN_ALL_TESTS();
}

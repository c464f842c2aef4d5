#include "platform/MsgBox.h"

#include <QGuiApplication>
#include <QString>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A test that expects a message installs a recorder; any other message is a fault.
    MsgBox::setHandler([](const std::wstring& text, const std::wstring& caption, unsigned) {
        ADD_FAILURE() << "unexpected message box [" << QString::fromStdWString(caption).toStdString() << "] "
                      << QString::fromStdWString(text).toStdString();
        return static_cast<int>(MsgBox::IdOk);
    });
    return RUN_ALL_TESTS();
}

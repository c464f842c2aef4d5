#include "platform/MsgBox.h"
#include "support/TestMain.h"

#include <QString>
#include <gtest/gtest.h>

void failOnUnexpectedMessages()
{
    // A test that expects a message installs a recorder; any other message is a fault.
    MsgBox::setHandler([](const std::wstring& text, const std::wstring& caption, unsigned) {
        ADD_FAILURE() << "unexpected message box [" << QString::fromStdWString(caption).toStdString() << "] "
                      << QString::fromStdWString(text).toStdString();
        return static_cast<int>(MsgBox::IdOk);
    });
}

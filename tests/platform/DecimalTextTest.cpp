#include "platform/DecimalText.h"

#include <QString>

#include <gtest/gtest.h>

TEST(DecimalText, BothRulesReadTheLeadingNumber)
{
    struct Case
    {
        const wchar_t* text;
        int wrapped;
        int clamped;
    } cases[] = {
        {L"", 0, 0},
        {L"abc", 0, 0},
        {L" 5", 5, 5},
        {L"\t-12abc", -12, -12},
        {L"+7", 7, 7},
        {L"- 3", 0, 0},
        {L"2147483647", 2147483647, 2147483647},
        {L"2147483648", -2147483647 - 1, 2147483647},
        {L"4294967297", 1, 2147483647},
        {L"-2147483648", -2147483647 - 1, -2147483647 - 1},
        {L"-2147483649", 2147483647, -2147483647 - 1},
        {L"99999999999999999999999", static_cast<int>(0xF67FFFFFu), 2147483647},
        {L"３", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecimalText::toWrappedInt(c.text), c.wrapped)
            << QString::fromWCharArray(c.text).toStdString();
        EXPECT_EQ(DecimalText::toClampedInt(c.text), c.clamped)
            << QString::fromWCharArray(c.text).toStdString();
    }
}

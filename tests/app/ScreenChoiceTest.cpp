#include "app/ScreenChoice.h"

#include <gtest/gtest.h>

TEST(ScreenChoice, TheNamedScreenElseTheOtherOfTwoElseThePrimary)
{
    const QStringList two = {"laptop", "projector"};
    const QStringList three = {"DP-1", "HDMI-1", "1"};
    const struct
    {
        const char* wanted;
        QStringList names;
        int primary;
        int chosen;
    } cases[] = {
        {"", {}, 0, -1},          {"HDMI-1", {}, 0, -1}, {"", {"screen"}, 0, 0},   {"", two, 0, 1},
        {"", two, 1, 0},          {"", three, 1, 1},     {"projector", two, 1, 1}, {"laptop", two, 0, 0},
        {"PROJECTOR", two, 0, 1}, {"1", two, 0, 0},      {"2", two, 1, 1},         {"3", two, 0, 1},
        {"0", two, 0, 1},         {"-1", two, 0, 1},     {"beamer", two, 1, 0},    {"1", three, 0, 2},
        {"2", three, 0, 1},       {"", two, 7, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScreenChoice::pick(QString::fromUtf8(c.wanted), c.names, c.primary), c.chosen)
            << c.wanted << " of " << c.names.join(',').toStdString() << ", primary " << c.primary;
}

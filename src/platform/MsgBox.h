#pragma once

#include <functional>
#include <string>

// The one place where the non-widget code asks the operator something. The
// program installs a real dialog at start-up; tests install a recorder.
class MsgBox
{
public:
    enum Buttons : unsigned
    {
        Ok = 0x0,
        OkCancel = 0x1,
        YesNoCancel = 0x3,
        YesNo = 0x4,
        // With the buttons: the second one is the default, as for a question whose safe answer is No.
        DefaultSecond = 0x100
    };
    enum Answer : int
    {
        IdOk = 1,
        IdCancel = 2,
        IdYes = 6,
        IdNo = 7
    };

    using Handler =
        std::function<int(const std::wstring& text, const std::wstring& caption, unsigned buttons)>;

    // An empty caption stands for the application's name.
    static int show(const std::wstring& text, const std::wstring& caption = std::wstring(),
                    unsigned buttons = Ok);

    // Returns the handler that was installed before; an empty handler restores the fallback.
    static Handler setHandler(Handler handler);
};

#include "platform/MsgBox.h"

#include "platform/AppInfo.h"

#include <QString>
#include <cstdio>

namespace {

MsgBox::Handler& installedHandler()
{
    static MsgBox::Handler handler;
    return handler;
}

// Without a window system nobody can answer: say it on stderr and take the
// answer that changes nothing.
int fallback(const std::wstring& text, const std::wstring& caption, unsigned buttons)
{
    std::fprintf(stderr, "[%s] %s\n", QString::fromStdWString(caption).toLocal8Bit().constData(),
                 QString::fromStdWString(text).toLocal8Bit().constData());
    switch (buttons & 0xF) {
    case MsgBox::OkCancel:
    case MsgBox::YesNoCancel:
        return MsgBox::IdCancel;
    case MsgBox::YesNo:
        return MsgBox::IdNo;
    default:
        return MsgBox::IdOk;
    }
}

} // namespace

int MsgBox::show(const std::wstring& text, const std::wstring& caption, unsigned buttons)
{
    const std::wstring shownCaption = caption.empty() ? AppInfo::applicationName() : caption;
    const Handler& handler = installedHandler();
    return handler ? handler(text, shownCaption, buttons) : fallback(text, shownCaption, buttons);
}

MsgBox::Handler MsgBox::setHandler(Handler handler)
{
    Handler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

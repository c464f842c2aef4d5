#pragma once

#include "areas/tstring.h"

#include <functional>

class QMenu;
class QPoint;
class QWidget;

// The draw screen's context menu (menu 129): the operator's commands, and
// after a stop the entry that replaces an absent winner of the prize just drawn.
class DrawScreenMenu
{
public:
    static constexpr const wchar_t* ReplaceEntry = L"补抽缺席: ";

    // Each entry calls `command` with its command id.
    DrawScreenMenu(QWidget* parent, const std::function<void(int)>& command);

    // Opens the menu; with `absent` set, its replacement entry calls `replace`.
    void popup(const QPoint& globalPos, const tstring* absent, const std::function<void()>& replace);

private:
    QMenu* m_menu;
};

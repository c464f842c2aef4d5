#pragma once

#include <functional>

class QDialog;
class QMenu;
class QAction;
class QPoint;

// Every modal dialog and pop-up menu of the draw screen opens through here,
// so tests can answer them without a nested event loop that would block.
class ModalRunner
{
public:
    using DialogRunner = std::function<int(QDialog&)>;
    using MenuRunner = std::function<QAction*(QMenu&, const QPoint&)>;

    static int exec(QDialog& dialog);
    static QAction* popup(QMenu& menu, const QPoint& globalPos);

    // Empty runners restore the real ones; each returns the one it replaced.
    static DialogRunner setDialogRunner(DialogRunner runner);
    static MenuRunner setMenuRunner(MenuRunner runner);
};

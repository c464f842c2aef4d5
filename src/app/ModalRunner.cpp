#include "app/ModalRunner.h"

#include <QDialog>
#include <QMenu>

namespace {

ModalRunner::DialogRunner& dialogRunner()
{
    static ModalRunner::DialogRunner runner;
    return runner;
}

ModalRunner::MenuRunner& menuRunner()
{
    static ModalRunner::MenuRunner runner;
    return runner;
}

} // namespace

int ModalRunner::exec(QDialog& dialog)
{
    return dialogRunner() ? dialogRunner()(dialog) : dialog.exec();
}

QAction* ModalRunner::popup(QMenu& menu, const QPoint& globalPos)
{
    return menuRunner() ? menuRunner()(menu, globalPos) : menu.exec(globalPos);
}

ModalRunner::DialogRunner ModalRunner::setDialogRunner(DialogRunner runner)
{
    return std::exchange(dialogRunner(), std::move(runner));
}

ModalRunner::MenuRunner ModalRunner::setMenuRunner(MenuRunner runner)
{
    return std::exchange(menuRunner(), std::move(runner));
}

#include "app/QtMessageBox.h"

#include "platform/MsgBox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

QPointer<QWidget>& owner()
{
    static QPointer<QWidget> widget;
    return widget;
}

struct Choice
{
    const char* label;
    QMessageBox::ButtonRole role;
    int answer;
};

const std::vector<Choice>& choicesFor(unsigned buttons)
{
    static const std::vector<Choice> ok = {{"确定", QMessageBox::AcceptRole, MsgBox::IdOk}};
    static const std::vector<Choice> okCancel = {{"确定", QMessageBox::AcceptRole, MsgBox::IdOk},
                                                 {"取消", QMessageBox::RejectRole, MsgBox::IdCancel}};
    static const std::vector<Choice> yesNo = {{"是", QMessageBox::YesRole, MsgBox::IdYes},
                                              {"否", QMessageBox::NoRole, MsgBox::IdNo}};
    static const std::vector<Choice> yesNoCancel = {{"是", QMessageBox::YesRole, MsgBox::IdYes},
                                                    {"否", QMessageBox::NoRole, MsgBox::IdNo},
                                                    {"取消", QMessageBox::RejectRole, MsgBox::IdCancel}};
    switch (buttons & 0xF) {
    case MsgBox::OkCancel:
        return okCancel;
    case MsgBox::YesNo:
        return yesNo;
    case MsgBox::YesNoCancel:
        return yesNoCancel;
    default:
        return ok;
    }
}

int ask(const std::wstring& text, const std::wstring& caption, unsigned buttons)
{
    QMessageBox box(QtMessageBox::ownerNow());
    box.setWindowTitle(QString::fromStdWString(caption));
    box.setText(QString::fromStdWString(text));
    const std::vector<Choice>& choices = choicesFor(buttons);
    std::vector<QAbstractButton*> made;
    for (const Choice& choice : choices)
        made.push_back(box.addButton(QString::fromUtf8(choice.label), choice.role));
    box.setDefaultButton(static_cast<QPushButton*>(
        (buttons & MsgBox::DefaultSecond) && made.size() > 1 ? made[1] : made.front()));
    box.setEscapeButton(made.back());
    // Without a window manager nobody else centres it over the show.
    box.adjustSize();
    const QWidget* owner = box.parentWidget();
    const QRect area =
        owner ? owner->geometry()
              : (QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect());
    box.move(area.center() - box.rect().center());
    box.exec();
    for (size_t i = 0; i < made.size(); ++i) {
        if (box.clickedButton() == made[i])
            return choices[i].answer;
    }
    return choices.back().answer;
}

} // namespace

void QtMessageBox::install()
{
    MsgBox::setHandler(ask);
}

void QtMessageBox::setOwner(QWidget* widget)
{
    owner() = widget;
}

// A dialog opened over the console holds its messages; the audience's windows never do.
QWidget* QtMessageBox::ownerNow()
{
    QWidget* console = owner();
    QWidget* modal = QApplication::activeModalWidget();
    if (console && console->isVisible())
        return modal && console->isAncestorOf(modal) ? modal : console;
    return modal ? modal : QApplication::activeWindow();
}

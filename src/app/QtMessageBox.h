#pragma once

class QWidget;

// Shows the program's messages in real message boxes over the active window,
// or over the operator's console while one is open.
namespace QtMessageBox {

void install();
// The window messages open over; null for the active window.
void setOwner(QWidget* owner);
// Where a message opens now.
QWidget* ownerNow();

} // namespace QtMessageBox

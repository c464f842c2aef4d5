#pragma once

// Shows the program's messages in real message boxes over the active window.
namespace QtMessageBox {

void install();

} // namespace QtMessageBox

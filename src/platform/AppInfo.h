#pragma once

#include <QString>
#include <string>

namespace AppInfo {

// The executable's file name without its extension; the default caption of
// every message box.
std::wstring applicationName();

// The folder of the running executable, ending with a separator.
QString executableDir();

} // namespace AppInfo

#pragma once

#include <QString>

// Files whose last write failed and was told. A show on a full disk tells
// each file once, not at every stop; a write of that file that succeeds
// again ends it, so the next failure is told anew.
namespace WriteFailures {

// True when this failure is the first since the file was last written.
bool isFirst(const QString& path);
void succeeded(const QString& path);

} // namespace WriteFailures

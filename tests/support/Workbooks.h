#pragma once

#include <QByteArrayList>
#include <QString>
#include <vector>

// Workbooks put together part by part, as spreadsheet programs other than
// ours write them, and the hostile ones the import must answer at once.
namespace Workbooks {

// Names the first sheet by its relation rId7.
extern const QByteArray Workbook;

// A part of a workbook; a big one as pieces that share their bytes. An empty one is left out.
struct Part
{
    Part(const QString& name, const QByteArray& bytes) : name(name), pieces{bytes} {}
    Part(const QString& name, const QByteArrayList& pieces) : name(name), pieces(pieces) {}
    QString name;
    QByteArrayList pieces;
};

bool zip(const QString& path, const std::vector<Part>& parts);
// One part of a workbook, unpacked.
QByteArray partOf(const QString& path, const char* name);

// A small file made to hang or exhaust a reader, and what it must be told:
// the bound it meets, or nothing when it reads as the one name 张伟.
struct Hostile
{
    const char* what;
    QByteArrayList strings;
    QByteArrayList sheet;
    QString error;

    bool write(const QString& path) const;
};
std::vector<Hostile> hostile();

} // namespace Workbooks

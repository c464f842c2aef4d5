#pragma once

#include "data/ImportTable.h"

#include <QByteArray>

// A CSV file as spreadsheet programs write it: UTF-8 with or without its
// mark, or code page 936; comma, semicolon or tab, whichever the first line
// uses most; quoted fields may hold separators, doubled quotes and line breaks.
class CsvReader
{
public:
    static bool parse(const QByteArray& bytes, ImportTable& table);
    // The separator the first line (outside quotes) uses most.
    static QChar separatorOf(const QString& text);
};

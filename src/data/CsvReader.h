#pragma once

#include "data/ImportTable.h"

#include <QByteArray>

// A CSV file as spreadsheet programs write it: UTF-8 with or without its
// mark, code page 936, or UTF-16 with its mark (a spreadsheet's "Unicode
// text"); comma, semicolon or tab, whichever the first line uses most;
// quoted fields may hold separators, doubled quotes and line breaks. A
// quote that never ends is told, not left to swallow the rest of the file.
class CsvReader
{
public:
    static bool parse(const QByteArray& bytes, ImportTable& table);
    // The separator the first line (outside quotes) uses most.
    static QChar separatorOf(const QString& text);
    // What a quote opened on that line and never closed is told.
    static QString unclosedQuote(qint64 line);
};

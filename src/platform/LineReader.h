#pragma once

#include <QByteArray>
#include <QString>

// A file that may come from anywhere, read a line at a time: only a regular
// file is read (a device or a FIFO is refused at once, without waiting), and
// no more than the bounds allow, so a hostile folder can neither hang nor
// exhaust the reader.
class LineReader
{
public:
    enum class Opened
    {
        Ok,
        Missing,
        NotRegular,
        TooLarge,
        Unreadable
    };

    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    Opened open(const QString& path, qint64 maxBytes);
    qint64 size() const { return m_size; }

    // The next line without its line feed; false at the end or when a line
    // is longer than `maxLine` (then tooLong() is true). A last line without
    // a line feed is given too, and torn() tells it.
    bool next(QByteArray& line, qint64 maxLine);
    bool tooLong() const { return m_tooLong; }
    bool torn() const { return m_torn; }
    bool failed() const { return m_failed; }

    // A whole regular file of at most `maxBytes`.
    static Opened readAll(const QString& path, qint64 maxBytes, QByteArray& bytes);

private:
    bool fill();

    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_max = 0;
    qint64 m_read = 0;
    QByteArray m_buffer;
    qsizetype m_start = 0;
    bool m_end = false;
    bool m_tooLong = false;
    bool m_torn = false;
    bool m_failed = false;
};

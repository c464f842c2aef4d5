#include "platform/LineReader.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype Chunk = 1 << 20;

} // namespace

LineReader::~LineReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

LineReader::Opened LineReader::open(const QString& path, qint64 maxBytes)
{
    // Not blocking: opening a FIFO must not wait for a writer.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? Opened::Missing : Opened::Unreadable;
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0)
        return Opened::Unreadable;
    if (!S_ISREG(info.st_mode))
        return Opened::NotRegular;
    m_size = info.st_size;
    m_max = maxBytes;
    if (m_size > maxBytes)
        return Opened::TooLarge;
    return Opened::Ok;
}

bool LineReader::fill()
{
    if (m_end || m_fd < 0)
        return false;
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + Chunk);
    ssize_t got;
    do {
        got = ::read(m_fd, m_buffer.data() + old, size_t(Chunk));
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        m_failed = got < 0;
        m_end = true;
        m_buffer.resize(old);
        return false;
    }
    m_buffer.resize(old + got);
    // A file that grows while it is read is read no further than its bound.
    m_read += got;
    if (m_read > m_max) {
        m_failed = true;
        m_end = true;
        return false;
    }
    return true;
}

bool LineReader::next(QByteArray& line, qint64 maxLine)
{
    for (;;) {
        const qsizetype feed = m_buffer.indexOf('\n', m_start);
        if (feed >= 0) {
            if (feed - m_start > maxLine) {
                m_tooLong = true;
                return false;
            }
            line = m_buffer.mid(m_start, feed - m_start);
            m_start = feed + 1;
            return true;
        }
        if (m_buffer.size() - m_start > maxLine) {
            m_tooLong = true;
            return false;
        }
        if (!fill()) {
            if (m_start >= m_buffer.size())
                return false;
            line = m_buffer.mid(m_start);
            m_start = m_buffer.size();
            m_torn = true;
            return true;
        }
    }
}

LineReader::Opened LineReader::readAll(const QString& path, qint64 maxBytes, QByteArray& bytes)
{
    LineReader reader;
    const Opened opened = reader.open(path, maxBytes);
    if (opened != Opened::Ok)
        return opened;
    bytes.clear();
    bytes.reserve(qsizetype(reader.size()));
    while (reader.fill()) {
    }
    if (reader.failed())
        return Opened::Unreadable;
    bytes = std::move(reader.m_buffer);
    return Opened::Ok;
}

#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>

// A fresh folder that is the current directory while the object lives, the
// way the program runs inside an event folder.
class EventFolder
{
public:
    EventFolder();
    ~EventFolder();
    EventFolder(const EventFolder&) = delete;
    EventFolder& operator=(const EventFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    void write(const QString& name, const std::string& bytes) const;
    std::string read(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

void writeFile(const QString& path, const std::string& bytes);
std::string readFile(const QString& path);

// Byte strings that may hold NUL bytes: "a\0b"_bytes has three bytes.
inline std::string operator""_bytes(const char* text, std::size_t length)
{
    return std::string(text, length);
}

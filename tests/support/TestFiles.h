#pragma once

#include "platform/EventFolder.h"

#include <QString>
#include <QTemporaryDir>
#include <string>

// A fresh event folder, removed with the object. The working folder stays
// where it is: the program names its event folder, it never assumes it.
class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // The folder as the program names it.
    EventFolder event() const { return EventFolder(path()); }

    void write(const QString& name, const std::string& bytes) const;
    std::string read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

void writeFile(const QString& path, const std::string& bytes);
std::string readFile(const QString& path);

// Byte strings that may hold NUL bytes: "a\0b"_bytes has three bytes.
inline std::string operator""_bytes(const char* text, std::size_t length)
{
    return std::string(text, length);
}

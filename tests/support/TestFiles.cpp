#include "support/TestFiles.h"

#include "platform/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TestFolder::TestFolder()
{
    CodePage::setAsciiFileEncoding(TextEncoding::Ansi);
    EXPECT_TRUE(m_dir.isValid());
}

TestFolder::~TestFolder() = default;

void TestFolder::write(const QString& name, const std::string& bytes) const
{
    writeFile(filePath(name), bytes);
}

std::string TestFolder::read(const QString& name) const
{
    return readFile(filePath(name));
}

void writeFile(const QString& path, const std::string& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray data = file.readAll();
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

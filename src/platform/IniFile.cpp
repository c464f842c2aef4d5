#include "platform/IniFile.h"

#include "platform/DecimalText.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace {

std::wstring trimSpaces(const std::wstring& name)
{
    const size_t begin = name.find_first_not_of(L' ');
    if (begin == std::wstring::npos)
        return std::wstring();
    return name.substr(begin, name.find_last_not_of(L' ') - begin + 1);
}

// Reads the document for a change; false when an existing file cannot be
// read, since writing then would destroy what it holds.
bool loadForChange(const QString& file, IniDocument& doc)
{
    return IniFile::load(file, doc) != IniFile::LoadResult::Unreadable;
}

} // namespace

IniFile::LoadResult IniFile::load(const QString& file, IniDocument& doc)
{
    const QFileInfo info(file);
    if (!info.exists()) {
        doc = IniDocument();
        return LoadResult::Missing;
    }
    std::string bytes;
    if (info.isDir() || !TextFile::readAll(file, bytes)) {
        doc = IniDocument();
        return LoadResult::Unreadable;
    }
    doc = IniDocument::fromBytes(std::move(bytes));
    return LoadResult::Loaded;
}

bool IniFile::save(const QString& file, const IniDocument& doc)
{
    return TextFile::writeAtomically(file, doc.toBytes());
}

std::wstring IniFile::readString(const QString& file, const std::wstring& section, const std::wstring& key,
                                 const std::wstring& defaultValue, size_t bufferChars)
{
    IniDocument doc;
    load(file, doc);
    return readString(doc, section, key, defaultValue, bufferChars);
}

std::wstring IniFile::readString(const IniDocument& doc, const std::wstring& section, const std::wstring& key,
                                 const std::wstring& defaultValue, size_t bufferChars)
{
    std::wstring result;
    if (auto value = doc.value(trimSpaces(section), trimSpaces(key))) {
        result = std::move(*value);
    } else {
        result = defaultValue;
        const size_t last = result.find_last_not_of(L' ');
        result.erase(last == std::wstring::npos ? 0 : last + 1);
    }
    if (bufferChars == 0)
        return std::wstring();
    if (result.size() > bufferChars - 1)
        result.resize(bufferChars - 1);
    return result;
}

int IniFile::readInt(const QString& file, const std::wstring& section, const std::wstring& key,
                     int defaultValue)
{
    IniDocument doc;
    load(file, doc);
    return readInt(doc, section, key, defaultValue);
}

int IniFile::readInt(const IniDocument& doc, const std::wstring& section, const std::wstring& key,
                     int defaultValue)
{
    const auto value = doc.value(trimSpaces(section), trimSpaces(key));
    if (!value || value->empty())
        return defaultValue;
    return DecimalText::toWrappedInt(*value);
}

std::vector<std::wstring> IniFile::sectionNames(const QString& file)
{
    IniDocument doc;
    load(file, doc);
    return doc.sectionNames();
}

std::vector<std::wstring> IniFile::keyNames(const QString& file, const std::wstring& section)
{
    IniDocument doc;
    load(file, doc);
    return keyNames(doc, section);
}

std::vector<std::wstring> IniFile::keyNames(const IniDocument& doc, const std::wstring& section)
{
    return doc.keyNames(trimSpaces(section));
}

bool IniFile::writeString(const QString& file, const std::wstring& section, const std::wstring& key,
                          const std::wstring& value)
{
    IniDocument doc;
    if (!loadForChange(file, doc))
        return false;
    doc.setValue(trimSpaces(section), trimSpaces(key), value);
    return save(file, doc);
}

bool IniFile::deleteKey(const QString& file, const std::wstring& section, const std::wstring& key)
{
    IniDocument doc;
    if (!loadForChange(file, doc))
        return false;
    return !doc.removeKey(trimSpaces(section), trimSpaces(key)) || save(file, doc);
}

bool IniFile::deleteSection(const QString& file, const std::wstring& section)
{
    IniDocument doc;
    if (!loadForChange(file, doc))
        return false;
    return !doc.removeSection(trimSpaces(section)) || save(file, doc);
}

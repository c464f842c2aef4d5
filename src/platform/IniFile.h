#pragma once

#include "platform/IniDocument.h"

#include <QString>
#include <string>
#include <vector>

// The profile functions of the original platform: each call reads the file,
// and each change replaces it atomically. Files are local paths
// (EventFolder::file); names passed in lose surrounding spaces.
namespace IniFile {

enum class LoadResult
{
    Loaded,
    Missing,
    Unreadable
};

LoadResult load(const QString& file, IniDocument& doc);
bool save(const QString& file, const IniDocument& doc);

// A value of at most bufferChars - 1 characters; the default, without its
// trailing spaces, when the key is missing.
std::wstring readString(const QString& file, const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue, size_t bufferChars);
int readInt(const QString& file, const std::wstring& section, const std::wstring& key, int defaultValue);
std::vector<std::wstring> sectionNames(const QString& file);
std::vector<std::wstring> keyNames(const QString& file, const std::wstring& section);

// The same reads from a document already loaded, for callers that read many
// keys of one file.
std::wstring readString(const IniDocument& doc, const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue, size_t bufferChars);
int readInt(const IniDocument& doc, const std::wstring& section, const std::wstring& key, int defaultValue);
std::vector<std::wstring> keyNames(const IniDocument& doc, const std::wstring& section);

// Creates the file and the section when missing. False when the file could
// not be read or replaced; the file is then unchanged.
bool writeString(const QString& file, const std::wstring& section, const std::wstring& key,
                 const std::wstring& value);
// Removing what is not there succeeds and changes nothing.
bool deleteKey(const QString& file, const std::wstring& section, const std::wstring& key);
bool deleteSection(const QString& file, const std::wstring& section);

} // namespace IniFile

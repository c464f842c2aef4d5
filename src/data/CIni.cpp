#include "data/CIni.h"

#include "data/WriteFailures.h"
#include "platform/AppInfo.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"
#include "platform/MsgBox.h"
#include "platform/WinPath.h"

#include <QFile>

namespace {

const wchar_t* const Caption = L"Tips";
const wchar_t* const NotOpen = L"please Open file first";
const wchar_t* const NoNames = L"Must confirm AppName and KeyName";

bool readable(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

void tell(const std::wstring& text, const wchar_t* caption = Caption)
{
    MsgBox::show(text, caption);
}

std::vector<tstring> toList(const std::vector<std::wstring>& names)
{
    // Empty names vanish, as they do when the platform's zero-separated list is split.
    std::vector<tstring> list;
    list.reserve(names.size());
    for (const std::wstring& name : names) {
        if (!name.empty())
            list.emplace_back(name);
    }
    return list;
}

} // namespace

CIni::CIni(const EventFolder& folder, tstring fileName) : m_folder(folder)
{
    OpenFile(std::move(fileName));
}

CIni::~CIni() = default;

const IniDocument& CIni::document()
{
    if (!m_document) {
        m_document = std::make_unique<IniDocument>();
        IniFile::load(m_file, *m_document);
    }
    return *m_document;
}

bool CIni::OpenFile(tstring fileName)
{
    m_document.reset();
    fileName.Trim();
    if (fileName.empty()) {
        tell(L"file name can't be null", L"tips");
        return false;
    }
    const size_t dot = fileName.rfind(L'.');
    if (dot == tstring::npos) {
        tell(L"set file extend name first");
        return false;
    }
    m_path = fileName;
    tstring extension = dot == 0 ? tstring() : fileName.Mid(dot + 1);
    extension.ToUpper();
    if (extension != L"INF" && extension != L"INI") {
        tell(L"extend name must be INF or INI");
        m_path.clear();
        return false;
    }

    size_t separator = 0;
    while (separator < fileName.size() && !WinPath::isSeparator(fileName[separator]))
        ++separator;
    if (separator < fileName.size() && separator != 1) {
        m_file = m_folder.file(fileName);
        if (!readable(m_file)) {
            tell(L"File unexist:" + fileName);
            m_path.clear();
            return false;
        }
        return true;
    }

    tstring relative = fileName;
    if (relative[0] != L'.')
        relative = L".\\" + relative;
    size_t first = 0;
    while (first < relative.size() && !WinPath::isSeparator(relative[first]))
        ++first;
    // A name such as "..ini" has no separator at all: then it is its own bare name.
    const tstring bareName = first < relative.size() ? relative.Mid(first + 1) : relative;
    if (!readable(m_folder.file(bareName)) &&
        !readable(WinPath::toLocal(AppInfo::executableDir(), bareName))) {
        tell(bareName, L"");
        tell(bareName + L"File unexist");
        m_path.clear();
        return false;
    }
    m_path = relative;
    m_file = m_folder.file(relative);
    return true;
}

bool CIni::requireOpen(const wchar_t* message)
{
    if (IsOpen())
        return true;
    tell(message);
    return false;
}

bool CIni::written(bool ok)
{
    if (ok)
        WriteFailures::succeeded(m_file);
    else if (WriteFailures::isFirst(m_file))
        tell(L"无法写入文件:" + m_path);
    return ok;
}

tstring CIni::GetString(tstring section, tstring key)
{
    return readValue(std::move(section), std::move(key), ValueBufferChars);
}

tstring CIni::GetLongString(tstring section, tstring key)
{
    return readValue(std::move(section), std::move(key), std::wstring::npos);
}

tstring CIni::readValue(tstring section, tstring key, size_t bufferChars)
{
    if (!requireOpen(L"Please open file first"))
        return tstring();
    section.Trim();
    key.Trim();
    if (section.empty() || key.empty()) {
        tell(L"must confirm AppName and KeyName");
        return tstring();
    }
    return IniFile::readString(document(), section, key, std::wstring(), bufferChars);
}

int CIni::Apply(const std::function<void(IniDocument&)>& change)
{
    if (!requireOpen(NotOpen))
        return 0;
    m_document.reset();
    IniDocument doc;
    if (IniFile::load(m_file, doc) == IniFile::LoadResult::Unreadable)
        return written(false);
    change(doc);
    if (!doc.changed())
        return 1;
    return written(IniFile::save(m_file, doc));
}

int CIni::GetInt(tstring section, tstring key)
{
    if (!requireOpen(NotOpen))
        return 0;
    section.Trim();
    key.Trim();
    if (section.empty() || key.empty()) {
        tell(NoNames);
        return 0;
    }
    return IniFile::readInt(document(), section, key, 0);
}

int CIni::SetString(tstring section, tstring key, tstring value)
{
    if (!requireOpen(NotOpen))
        return 0;
    section.Trim();
    key.Trim();
    if (section.empty() || key.empty()) {
        tell(NoNames);
        return 0;
    }
    m_document.reset();
    return written(IniFile::writeString(m_file, section, key, value));
}

int CIni::SetInt(int value, tstring section, tstring key)
{
    tstring text;
    text.Format(L"%d", value);
    return SetString(std::move(section), std::move(key), std::move(text));
}

void CIni::DeleteKey(tstring section, tstring key)
{
    if (!requireOpen(NotOpen))
        return;
    m_document.reset();
    written(IniFile::deleteKey(m_file, section, key));
}

int CIni::DeleteSection(tstring section)
{
    if (!requireOpen(NotOpen))
        return 0;
    m_document.reset();
    return written(IniFile::deleteSection(m_file, section));
}

int CIni::DeleteAllSections()
{
    for (const tstring& name : GetSectionNames())
        DeleteSection(name);
    return 1;
}

std::vector<tstring> CIni::GetSectionNames()
{
    if (!requireOpen(NotOpen))
        return {};
    std::vector<tstring> names = toList(document().sectionNames());
    for (tstring& name : names)
        name.ToUpper();
    return names;
}

std::vector<tstring> CIni::GetKeyNames(tstring section)
{
    if (!requireOpen(NotOpen))
        return {};
    return toList(IniFile::keyNames(document(), section));
}

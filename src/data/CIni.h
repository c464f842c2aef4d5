#pragma once

#include "data/CFileBase.h"
#include "platform/EventFolder.h"

#include <functional>
#include <memory>
#include <vector>

class IniDocument;

// Short-lived access to one INI file of the event folder. It tells the
// operator about its own failures, naming the file as the program spells it,
// and hands back empty values, which its callers use as they are.
class CIni : public CFileBase
{
public:
    CIni(const EventFolder& folder, tstring fileName);
    ~CIni() override;

    bool OpenFile(tstring fileName);

    tstring GetString(tstring section, tstring key);
    int GetInt(tstring section, tstring key);
    int SetString(tstring section, tstring key, tstring value);
    int SetInt(int value, tstring section, tstring key);
    void DeleteKey(tstring section, tstring key);
    int DeleteSection(tstring section);
    int DeleteAllSections();
    std::vector<tstring> GetSectionNames();
    std::vector<tstring> GetKeyNames(tstring section);

    // A value read whole, however long; for lists of names that must not be cut.
    tstring GetLongString(tstring section, tstring key);

    // Makes several changes as one replacement of the file, so a crash leaves
    // the old or the new content and never a mixture. The bytes are those the
    // single calls would give; a change that leaves the content as it was
    // writes nothing. Non-zero on success.
    int Apply(const std::function<void(IniDocument&)>& change);

    // Values are read into a buffer of this many characters.
    static constexpr size_t ValueBufferChars = 2048;

private:
    // The file is read once per object, so a loader reading many keys does
    // not parse it again for each; every write drops the copy.
    const IniDocument& document();
    tstring readValue(tstring section, tstring key, size_t bufferChars);
    bool requireOpen(const wchar_t* message);
    // A failed write is told once until a write of the file succeeds again.
    bool written(bool ok);

    std::unique_ptr<IniDocument> m_document;
    EventFolder m_folder;
    // The file m_path names.
    QString m_file;
};

#pragma once

#include "data/CFileBase.h"

#include <vector>

// Short-lived access to one INI file. It tells the operator about its own
// failures and hands back empty values, which its callers use as they are.
class CIni : public CFileBase
{
public:
    explicit CIni(tstring fileName);

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

    // Values are read into a buffer of this many characters.
    static constexpr size_t ValueBufferChars = 2048;

private:
    bool requireOpen(const wchar_t* message);
    void reportWriteFailure();
};

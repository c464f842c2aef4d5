#pragma once

#include "areas/tstring.h"

// A file named by path. It counts as open exactly while it has a path.
class CFileBase
{
public:
    virtual ~CFileBase();

    bool IsOpen() const { return !m_path.empty(); }
    const tstring& GetPath() const { return m_path; }

protected:
    tstring m_path;
};

#include "app/OperatorNotices.h"

#include "data/WriteFailures.h"

void OperatorNotices::tell(const std::wstring& text, const std::wstring& caption)
{
    m_notices.push_back(Notice{text, caption});
    m_added();
}

void OperatorNotices::told(bool written, const QString& file, const std::wstring& failure,
                           const std::wstring& caption)
{
    if (written)
        WriteFailures::succeeded(file);
    else if (WriteFailures::isFirst(file))
        tell(failure, caption);
}

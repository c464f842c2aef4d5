#pragma once

#include <QString>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// What the operator must be told after an operation, kept in order until a
// view takes it; an empty caption stands for the application's name. A
// write that keeps failing is told once, and again only after it went through.
class OperatorNotices
{
public:
    struct Notice
    {
        std::wstring text;
        std::wstring caption;
    };

    // `added` hears of every notice.
    explicit OperatorNotices(std::function<void()> added) : m_added(std::move(added)) {}

    void tell(const std::wstring& text, const std::wstring& caption = std::wstring());
    // The outcome of writing that file: its failure is told the first time.
    void told(bool written, const QString& file, const std::wstring& failure,
              const std::wstring& caption = std::wstring());
    std::vector<Notice> take() { return std::exchange(m_notices, {}); }

private:
    std::function<void()> m_added;
    std::vector<Notice> m_notices;
};

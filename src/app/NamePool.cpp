#include "app/NamePool.h"

namespace {

bool isSurrogate(std::uint32_t c)
{
    return c >= 0xD800 && c < 0xE000;
}

} // namespace

NamePool::NamePool(const std::vector<tstring>& names)
{
    std::size_t units = 0;
    for (const tstring& name : names)
        units += name.size() * 2;
    reserve(names.size(), units);
    for (const tstring& name : names)
        append(name);
    shrink();
}

void NamePool::reserve(std::size_t names, std::size_t units)
{
    m_text.reserve(units);
    m_start.reserve(names + 1);
    m_order.reserve(names);
}

namespace {

// Appends the text as UTF-16; false when that cannot give it back exactly.
template <typename Units> bool appendUtf16(const wchar_t* text, std::size_t length, Units& units)
{
    bool exact = true;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if (c < 0x10000 && !isSurrogate(c)) {
            units.push_back(char16_t(c));
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            units.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            exact = false;
        }
    }
    return exact;
}

} // namespace

std::optional<std::u16string> NamePool::narrow(const tstring& text)
{
    std::u16string units;
    if (!appendUtf16(text.data(), text.size(), units))
        return std::nullopt;
    return units;
}

void NamePool::append(const wchar_t* text, std::size_t length)
{
    const auto index = static_cast<std::uint32_t>(m_start.size() - 1);
    if (!appendUtf16(text, length, m_text)) {
        m_text.resize(m_start.back());
        m_odd.emplace(index, tstring(std::wstring(text, length)));
    }
    m_start.push_back(static_cast<std::uint32_t>(m_text.size()));
    m_order.push_back(index);
}

void NamePool::shrink()
{
    m_text.shrink_to_fit();
    m_start.shrink_to_fit();
    m_order.shrink_to_fit();
}

void NamePool::copy(std::size_t position, tstring& into) const
{
    const std::uint32_t index = indexAt(position);
    if (!m_odd.empty()) {
        const auto odd = m_odd.find(index);
        if (odd != m_odd.end()) {
            into.assign(odd->second);
            return;
        }
    }
    widen(std::u16string_view(m_text.data() + m_start[index], m_start[index + 1] - m_start[index]), into);
}

bool NamePool::view(std::size_t position, std::u16string_view& into) const
{
    const std::uint32_t index = indexAt(position);
    if (!m_odd.empty() && m_odd.count(index))
        return false;
    into = std::u16string_view(m_text.data() + m_start[index], m_start[index + 1] - m_start[index]);
    return true;
}

void NamePool::widen(std::u16string_view text, tstring& into)
{
    // Sized once and written in place: a range reads every name of a million.
    into.resize(text.size());
    wchar_t* out = into.data();
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t c = text[i];
        // Only whole pairs were ever stored.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size())
            out[length++] = wchar_t(0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
        else
            out[length++] = wchar_t(c);
    }
    into.resize(length);
}

tstring NamePool::operator[](std::size_t position) const
{
    tstring name;
    copy(position, name);
    return name;
}

QString NamePool::text(std::size_t position) const
{
    const std::uint32_t index = indexAt(position);
    if (!m_odd.empty()) {
        const auto odd = m_odd.find(index);
        if (odd != m_odd.end())
            return QString::fromStdWString(odd->second);
    }
    return QString(reinterpret_cast<const QChar*>(m_text.data() + m_start[index]),
                   qsizetype(m_start[index + 1] - m_start[index]));
}

std::vector<tstring> NamePool::names() const
{
    std::vector<tstring> all;
    all.reserve(size());
    for (std::size_t i = 0; i < size(); ++i)
        all.push_back((*this)[i]);
    return all;
}

NamePool::Order NamePool::without(const std::vector<bool>& marked) const
{
    Order kept;
    kept.reserve(m_order.size());
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        if (i >= marked.size() || !marked[i])
            kept.push_back(m_order[i]);
    }
    return kept;
}

void NamePool::removeMarked(const std::vector<bool>& marked)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        if (i >= marked.size() || !marked[i])
            m_order[kept++] = m_order[i];
    }
    m_order.resize(kept);
}

void NamePool::clear()
{
    m_text.clear();
    m_start.assign(1, 0);
    m_order.clear();
    m_odd.clear();
}

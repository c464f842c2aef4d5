#pragma once

#include "areas/tstring.h"

#include <QString>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Participant names in order, held compactly: their text in one UTF-16
// buffer that never moves, and the order of those still in the list as
// indices into it. A million names of twenty characters take under fifty
// megabytes instead of a hundred and twenty, and taking names out moves four
// bytes a name. Reading a name gives a copy.
class NamePool
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = tstring;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = tstring;

        const_iterator(const NamePool* pool, std::size_t at) : m_pool(pool), m_at(at) {}
        tstring operator*() const { return (*m_pool)[m_at]; }
        const_iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_at == other.m_at; }
        bool operator!=(const const_iterator& other) const { return m_at != other.m_at; }

    private:
        const NamePool* m_pool;
        std::size_t m_at;
    };

    NamePool() = default;
    explicit NamePool(const std::vector<tstring>& names);

    // Room for that many names of that many UTF-16 units in all.
    void reserve(std::size_t names, std::size_t units);
    void append(const wchar_t* text, std::size_t length);
    void append(const tstring& name) { append(name.data(), name.size()); }
    // Gives back room reserved beyond what was appended.
    void shrink();

    std::size_t size() const { return m_order.size(); }
    bool empty() const { return m_order.empty(); }
    tstring operator[](std::size_t position) const;
    // Into a string whose room is used again: no allocation once it is big enough.
    void copy(std::size_t position, tstring& into) const;
    QString text(std::size_t position) const;
    // The name in place, as UTF-16; false for a name UTF-16 cannot give back exactly.
    bool view(std::size_t position, std::u16string_view& into) const;
    // UTF-16 as the wide strings names are elsewhere.
    static void widen(std::u16string_view text, tstring& into);
    // A wide string as the pool holds it; none when UTF-16 cannot give it back
    // exactly (a lone surrogate's value), as no name read in place holds it.
    static std::optional<std::u16string> narrow(const tstring& text);
    std::vector<tstring> names() const;
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    // The names still in the list, as indices into the text.
    using Order = std::vector<std::uint32_t>;
    // The list's order once the marked names are out; the rest keep their
    // order. The list itself does not change, so other threads may read it.
    Order without(const std::vector<bool>& marked) const;
    // That order in place of the list's, made by `without` on this list as it is.
    void keep(Order order) { m_order = std::move(order); }
    // Takes the marked names out in one pass.
    void removeMarked(const std::vector<bool>& marked);
    void clear();

private:
    std::uint32_t indexAt(std::size_t position) const { return m_order[position]; }

    std::vector<char16_t> m_text;
    // Where each name's text begins; the next one's beginning is its end.
    std::vector<std::uint32_t> m_start{0};
    // The names still in the list, in order.
    Order m_order;
    // Names UTF-16 cannot give back exactly (a lone surrogate's value): kept whole.
    std::unordered_map<std::uint32_t, tstring> m_odd;
};

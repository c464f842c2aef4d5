#include "app/PositionTree.h"

PositionTree::PositionTree(std::size_t size) : m_counts(size + 1), m_remaining(size)
{
    // Every name is present: each node counts the span its lowest bit covers.
    for (std::size_t i = 1; i <= size; ++i)
        m_counts[i] = static_cast<unsigned>(i & (~i + 1));
    while (m_topBit * 2 <= size)
        m_topBit = m_topBit == 0 ? 1 : m_topBit * 2;
}

std::size_t PositionTree::take(std::size_t position)
{
    // Descend to the last node whose prefix holds no more than `position` names.
    std::size_t node = 0;
    std::size_t before = position;
    for (std::size_t bit = m_topBit; bit != 0; bit /= 2) {
        const std::size_t next = node + bit;
        if (next < m_counts.size() && m_counts[next] <= before) {
            node = next;
            before -= m_counts[next];
        }
    }
    for (std::size_t i = node + 1; i < m_counts.size(); i += i & (~i + 1))
        --m_counts[i];
    --m_remaining;
    return node;
}

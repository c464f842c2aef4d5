#pragma once

#include <cstddef>
#include <vector>

// The names still in a pool as positions of the pool it started from: finds
// the k-th remaining one and takes it out in O(log n), so a big draw never
// moves names around until it is over.
class PositionTree
{
public:
    explicit PositionTree(std::size_t size);

    std::size_t remaining() const { return m_remaining; }
    // The original index of the name at `position` among those remaining,
    // which then leaves. `position` must be below remaining().
    std::size_t take(std::size_t position);

private:
    // A Fenwick tree of counts, 1-based.
    std::vector<unsigned> m_counts;
    std::size_t m_remaining;
    std::size_t m_topBit = 0;
};

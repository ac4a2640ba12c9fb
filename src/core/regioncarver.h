#pragma once

#include "regionpool.h"

#include <cstddef>
#include <memory>

// Cuts pieces for a growing data structure out of large mapped regions (see
// TMappedRegion), so that filling them faults in huge pages instead of one
// 4 KiB page at a time. A piece keeps its region alive: the region goes
// back to the pool (see TRegionPool) with its last piece. Pieces come in the
// order asked for, which suits structures that free their oldest first.
class TRegionCarver
{
public:
    struct Piece
    {
        std::shared_ptr<TMappedRegion> region;
        char *data = nullptr;
    };

    static constexpr std::size_t RegionSize = TRegionPool::RegionSize;
    // Pieces start on this boundary, suiting any element type.
    static constexpr std::size_t Alignment = 64;

    // A piece of at most RegionSize bytes, uninitialized. Throws
    // std::bad_alloc.
    [[nodiscard]] Piece carve(std::size_t size)
    {
        const std::size_t rounded = (size + Alignment - 1) / Alignment * Alignment;
        if (!m_region || m_region->size() - m_used < rounded) {
            m_region = TRegionPool::instance().acquire();
            m_used = 0;
        }
        Piece piece{m_region, m_region->data() + m_used};
        m_used += rounded;
        return piece;
    }

private:
    std::shared_ptr<TMappedRegion> m_region;
    std::size_t m_used = 0;
};

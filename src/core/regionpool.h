#pragma once

#include "mappedregion.h"

#include <memory>
#include <mutex>
#include <vector>

// Regions of one size that their users let go of, kept for the next user:
// their pages are in memory already, so filling them again costs no page
// faults, and a short-lived structure does not pay for a fresh huge page
// each time. Only a few are kept; the rest go back to the system.
class TRegionPool
{
public:
    static constexpr std::size_t RegionSize = 4 * TMappedRegion::Step;
    static constexpr std::size_t MaxSpare = 2;

    // The one pool, used from any thread. It is never destroyed, so that
    // regions outliving the program's static objects still find it.
    static TRegionPool &instance()
    {
        static auto *pool = new TRegionPool;
        return *pool;
    }

    // A region of RegionSize bytes, returned to the pool when its last
    // reference goes. Throws std::bad_alloc.
    [[nodiscard]] std::shared_ptr<TMappedRegion> acquire()
    {
        std::unique_ptr<TMappedRegion> region;
        {
            std::lock_guard lock(m_mutex);
            if (!m_spare.empty()) {
                region = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        if (!region)
            region = std::make_unique<TMappedRegion>(RegionSize);
        return {region.release(), [this](TMappedRegion *released) { give(released); }};
    }

private:
    TRegionPool() = default;

    void give(TMappedRegion *released)
    {
        std::unique_ptr<TMappedRegion> region(released);
        std::lock_guard lock(m_mutex);
        if (m_spare.size() < MaxSpare)
            m_spare.push_back(std::move(region));
    }

    std::mutex m_mutex;
    std::vector<std::unique_ptr<TMappedRegion>> m_spare;
};

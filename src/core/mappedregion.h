#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

// Anonymous memory in whole 2 MiB steps on a 2 MiB boundary, which the
// system is asked to back with huge pages: filling it then costs one page
// fault per 2 MiB instead of one per 4 KiB. Nothing is touched up front, and
// all of it goes back to the system when the region is destroyed.
class TMappedRegion
{
public:
    static constexpr std::size_t Step = std::size_t(2) << 20;

    // Throws std::bad_alloc when the system has no room.
    explicit TMappedRegion(std::size_t size) : m_size((size + Step - 1) / Step * Step)
    {
        // Mapped a step larger, so that an aligned stretch lies inside;
        // the ends around it are handed back at once.
        const std::size_t mapped = m_size + Step;
        void *raw =
            ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + Step - 1) / Step * Step;
        if (aligned > start)
            ::munmap(raw, aligned - start);
        const std::size_t tail = start + mapped - (aligned + m_size);
        if (tail > 0)
            ::munmap(reinterpret_cast<void *>(aligned + m_size), tail);
        m_data = reinterpret_cast<char *>(aligned);
        // Without huge pages the region works all the same, a page at a time.
        ::madvise(m_data, m_size, MADV_HUGEPAGE);
    }
    ~TMappedRegion()
    {
        if (m_data)
            ::munmap(m_data, m_size);
    }
    TMappedRegion(TMappedRegion &&other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
    {}
    TMappedRegion &operator=(TMappedRegion &&other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        return *this;
    }
    TMappedRegion(const TMappedRegion &) = delete;
    TMappedRegion &operator=(const TMappedRegion &) = delete;

    [[nodiscard]] char *data() const { return m_data; }
    [[nodiscard]] std::size_t size() const { return m_size; }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
};

#pragma once

#include <cstddef>
#include <new>

// The frame buffers start on a cache line, so that at the usual screen widths every row and
// every chunk of 64 pixels does too, and the kernels' vectors seldom straddle two lines.
constexpr std::size_t CACHE_LINE = 64;

// Storage for std::vector on ALIGNMENT-byte boundaries.
template <typename T, std::size_t ALIGNMENT> struct AlignedAllocator
{
    using value_type = T;
    template <typename U> struct rebind
    {
        using other = AlignedAllocator<U, ALIGNMENT>;
    };

    AlignedAllocator() = default;
    template <typename U> AlignedAllocator(const AlignedAllocator<U, ALIGNMENT>&) {}

    T* allocate(std::size_t nCount)
    {
        return static_cast<T*>(::operator new(nCount * sizeof(T), std::align_val_t(ALIGNMENT)));
    }
    void deallocate(T* p, std::size_t) { ::operator delete(p, std::align_val_t(ALIGNMENT)); }

    template <typename U> bool operator==(const AlignedAllocator<U, ALIGNMENT>&) const
    {
        return true;
    }
    template <typename U> bool operator!=(const AlignedAllocator<U, ALIGNMENT>&) const
    {
        return false;
    }
};

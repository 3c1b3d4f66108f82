#pragma once
// An allocator for long arrays of plain numbers that their owner fills at once (a record read
// from a file): an element made without a value is left uninitialised, so a container sized by
// count alone is not zero-filled before it is written, which would touch every page twice.
// Elements given a value are made with it, as by the standard allocator.

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace tonewell {

template <class T>
class DefaultInitAllocator : public std::allocator<T> {
    static_assert(std::is_trivially_destructible_v<T>, "for plain numbers");

public:
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };

    DefaultInitAllocator() noexcept = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    // Default-initialisation: nothing is written.
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

}  // namespace tonewell

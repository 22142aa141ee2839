// Memory for the work of one intersection call. The gathered shapes, their
// indexes and search stacks live only while the call runs; taking them
// from a per-thread arena, released in one step when the call returns,
// saves the heap's bookkeeping, and the first kept megabyte stays with the
// thread so that calls of moderate size neither allocate nor touch fresh
// pages (a heap that shrinks after every call and grows again at the next
// one costs more than the geometry).
#pragma once

#include <memory_resource>
#include <utility>
#include <vector>

namespace spatialgeom {

// The calling thread's arena while a ScratchScope is open in it; the
// ordinary heap otherwise.
std::pmr::memory_resource* scratchResource();

// Opens the calling thread's arena for one call. Everything allocated from
// it must be freed before the scope closes; the outermost scope of nested
// ones releases the arena. Throws std::bad_alloc when the thread's first
// scope cannot get its kept block.
class ScratchScope {
public:
    ScratchScope();
    ~ScratchScope();
    ScratchScope(const ScratchScope&) = delete;
    ScratchScope& operator=(const ScratchScope&) = delete;
};

// An allocator taking its memory from scratchResource() at construction.
// Elements made without arguments are default-initialised, not zeroed: a
// vector resized to be filled costs no pass of zeros.
template <typename T>
class ScratchAllocator : public std::pmr::polymorphic_allocator<T> {
public:
    ScratchAllocator() noexcept : std::pmr::polymorphic_allocator<T>(scratchResource()) {}
    template <typename U>
    ScratchAllocator(const ScratchAllocator<U>& other) noexcept : std::pmr::polymorphic_allocator<T>(other.resource()) {}
    ScratchAllocator select_on_container_copy_construction() const { return *this; }

    template <typename U>
    void construct(U* p) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        std::pmr::polymorphic_allocator<T>::construct(p, std::forward<Args>(args)...);
    }
};

template <typename T>
using ScratchVector = std::vector<T, ScratchAllocator<T>>;

}  // namespace spatialgeom

// Per-thread scratch memory for the work of one call: the library's one
// facility for it, used by intersection tests and parses. What a call
// needs lives only while the call runs, and up to kKeptScratchBytes of it
// stays with the thread (freed when the thread ends), so that calls of
// moderate size neither allocate nor touch fresh pages: a heap that
// shrinks after every call and grows again at the next one costs more than
// the geometry. Two forms:
//   - an arena (ScratchScope, ScratchVector): for the many arrays of an
//     intersection call (gathered shapes, their indexes, search stacks),
//     released in one step when the call returns, which saves the heap's
//     bookkeeping;
//   - a loan of a kept object (ScratchLoan): for the few arrays a parse
//     grows, which keep their capacity from one call to the next, so that
//     a small text allocates nothing but its record.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <utility>
#include <vector>

namespace spatialgeom {

// What each form keeps between calls: the arena's first block, and each
// array of a loaned object.
inline constexpr std::size_t kKeptScratchBytes = std::size_t{1} << 20;

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
    ScratchAllocator(const ScratchAllocator<U>& other) noexcept
        : std::pmr::polymorphic_allocator<T>(other.resource()) {}
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

// The calling thread's instance of T, lent to one call and emptied when the
// loan ends by T::clear(kKeptScratchBytes), which must keep no array above
// that size. One loan of a T per thread at a time (calls that take one do
// not nest).
template <typename T>
class ScratchLoan {
public:
    ScratchLoan() : object(threadInstance()) {}
    ~ScratchLoan() { object.clear(kKeptScratchBytes); }
    ScratchLoan(const ScratchLoan&) = delete;
    ScratchLoan& operator=(const ScratchLoan&) = delete;

    T& object;

private:
    static T& threadInstance() {
        thread_local T instance;
        return instance;
    }
};

}  // namespace spatialgeom

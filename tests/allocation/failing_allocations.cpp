#include "tests/allocation/failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
}

namespace failing {
namespace {

std::atomic<bool> armed{false}, persistentFailure{false}, failed{false};
std::atomic<long> remaining{0};

// Should this allocation fail? Counts it when armed.
bool refuse() {
    if (!armed.load(std::memory_order_acquire)) return false;
    const long left = remaining.fetch_sub(1) - 1;
    const bool refused = left == 0 || (left < 0 && persistentFailure.load());
    if (refused) failed.store(true);
    return refused;
}

}  // namespace

void failFrom(long n, bool persistent) {
    persistentFailure.store(persistent);
    failed.store(false);
    remaining.store(n);
    armed.store(true, std::memory_order_release);
}

void disarm() { armed.store(false, std::memory_order_release); }

bool failedSinceArmed() { return failed.load(); }

}  // namespace failing

extern "C" {
void* __wrap_malloc(std::size_t size) { return failing::refuse() ? nullptr : __real_malloc(size); }
void* __wrap_calloc(std::size_t count, std::size_t size) {
    return failing::refuse() ? nullptr : __real_calloc(count, size);
}
void* __wrap_realloc(void* block, std::size_t size) {
    return failing::refuse() ? nullptr : __real_realloc(block, size);
}
}

// Every replaceable form of operator new goes through one of these two.
namespace {

void* allocate(std::size_t size) {
    if (failing::refuse()) throw std::bad_alloc();
    if (void* block = __real_malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    if (failing::refuse()) throw std::bad_alloc();
    const std::size_t a = static_cast<std::size_t>(alignment);
    if (void* block = std::aligned_alloc(a, (size + a - 1) / a * a)) return block;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }

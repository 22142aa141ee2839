#include "queries/call_scratch.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace spatialgeom {
namespace {

// Under AddressSanitizer every block comes from the heap, where the
// sanitizer knows each one's bounds.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUseArena = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUseArena = false;
#else
constexpr bool kUseArena = true;
#endif
#else
constexpr bool kUseArena = true;
#endif

struct ThreadScratch {
    std::unique_ptr<std::byte[]> kept;  // pages are touched only when used
    std::optional<std::pmr::monotonic_buffer_resource> arena;
    int depth = 0;
};

thread_local ThreadScratch tScratch;

}  // namespace

std::pmr::memory_resource* scratchResource() {
    return kUseArena && tScratch.depth > 0 ? &*tScratch.arena : std::pmr::new_delete_resource();
}

ScratchScope::ScratchScope() {
    if (kUseArena && !tScratch.arena) {
        tScratch.kept.reset(new std::byte[kKeptScratchBytes]);
        tScratch.arena.emplace(tScratch.kept.get(), kKeptScratchBytes, std::pmr::new_delete_resource());
    }
    ++tScratch.depth;
}

ScratchScope::~ScratchScope() {
    if (--tScratch.depth == 0 && kUseArena) tScratch.arena->release();
}

}  // namespace spatialgeom

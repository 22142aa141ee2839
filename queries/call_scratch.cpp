#include "queries/call_scratch.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace spatialgeom {
namespace {

constexpr std::size_t kKeptBytes = std::size_t{1} << 20;

struct ThreadScratch {
    std::unique_ptr<std::byte[]> kept;  // pages are touched only when used
    std::optional<std::pmr::monotonic_buffer_resource> arena;
    int depth = 0;
};

thread_local ThreadScratch tScratch;

}  // namespace

std::pmr::memory_resource* scratchResource() {
    return tScratch.depth > 0 ? &*tScratch.arena : std::pmr::new_delete_resource();
}

ScratchScope::ScratchScope() {
    if (!tScratch.arena) {
        tScratch.kept.reset(new std::byte[kKeptBytes]);
        tScratch.arena.emplace(tScratch.kept.get(), kKeptBytes, std::pmr::new_delete_resource());
    }
    ++tScratch.depth;
}

ScratchScope::~ScratchScope() {
    if (--tScratch.depth == 0) tScratch.arena->release();
}

}  // namespace spatialgeom

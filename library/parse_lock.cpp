// Library load and unload: the shared library needs no entry point of its
// own. Its only process-wide object is the parse lock, which is constant-
// initialised (ready before any code of the library runs, with no static
// constructor) and needs no destruction at unload.
#include "library/parse_lock.h"

namespace spatialgeom {
namespace {

constinit std::mutex gParseLock;

}  // namespace

std::mutex& parseLock() { return gParseLock; }

}  // namespace spatialgeom

// The process-wide lock of the text reader.
#pragma once

#include <mutex>

namespace spatialgeom {

// Guards the process-wide parse message. Parses keep all their other state
// in the call, so the lock is held only while a message is published.
std::mutex& parseLock();

}  // namespace spatialgeom

// Every pair of records, one from each list, that meet within a tolerance:
// the library's join (spatialWKB_joinRecords) over slices of the first
// list, so that a progress bar can follow it. The answer does not depend
// on the number of threads.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace spatialgeom::tool {

// Records by position; null entries take part in nothing.
using RecordList = std::vector<const void*>;
// (index in the first list, index in the second list).
using MeetingPair = std::pair<std::uint32_t, std::uint32_t>;

// The meeting pairs sorted by first then second index. A list may be
// joined with itself (every record then meets itself). inputError for
// lists longer than 2^32 - 1; std::bad_alloc when the library cannot join
// for want of memory.
std::vector<MeetingPair> meetingPairs(const RecordList& first, const RecordList& second, double tolerance,
                                      std::uint32_t threads);

}  // namespace spatialgeom::tool

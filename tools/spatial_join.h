// Every pair of records, one from each list, that meet within a tolerance:
// boxes widened by the tolerance select candidate pairs through a box tree,
// and the library's intersection test decides each candidate. Both phases
// run on several threads; the answer does not depend on their number.
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
// lists longer than 2^32 - 1.
std::vector<MeetingPair> meetingPairs(const RecordList& first, const RecordList& second, double tolerance,
                                      std::uint32_t threads);

}  // namespace spatialgeom::tool

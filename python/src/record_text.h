// Records written as Well-Known Text at a chosen precision.
//
// The library's writer takes its number of significant digits from one
// process-wide setting. Calls wanting the same precision write in parallel;
// a call wanting another one waits until the writers of the current one
// are done, then changes the setting. No lock is held while the caller
// holds the interpreter lock, so callers release it around these calls.
#pragma once

#include <cstdint>
#include <string>

namespace spatialgeom::python {

// The precisions to_wkt takes: every double reads back as itself at 17.
constexpr int kMinPrecision = 1;
constexpr int kMaxPrecision = 17;

// Holds the writer's precision at the value asked while it lives.
class PrecisionLease {
public:
    explicit PrecisionLease(int precision);
    ~PrecisionLease();
    PrecisionLease(const PrecisionLease&) = delete;
    PrecisionLease& operator=(const PrecisionLease&) = delete;
};

// The text of record (any kind the writer takes, collections included) at
// the precision of the lease the caller holds. Throws GeometryError when
// the record cannot be written (an empty vertex list, ring or line; a type
// code the writer does not take) and std::bad_alloc.
std::u16string recordText(const void* record);

}  // namespace spatialgeom::python

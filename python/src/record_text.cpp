#include "record_text.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>

#include "module_errors.h"
#include "spatialgeom/records.h"
#include "spatialgeom/text.h"

namespace spatialgeom::python {
namespace {

struct PrecisionState {
    std::mutex mutex;
    std::condition_variable idle;
    int precision = 0;  // the one set, 0 before the first lease
    int writers = 0;    // leases held at that precision
};

PrecisionState& state() {
    static PrecisionState shared;
    return shared;
}

}  // namespace

PrecisionLease::PrecisionLease(int precision) {
    PrecisionState& s = state();
    std::unique_lock lock(s.mutex);
    s.idle.wait(lock, [&] { return s.writers == 0 || s.precision == precision; });
    if (s.precision != precision) {
        spatialWKT_setPrecision(precision);
        s.precision = precision;
    }
    ++s.writers;
}

PrecisionLease::~PrecisionLease() {
    PrecisionState& s = state();
    {
        std::lock_guard lock(s.mutex);
        --s.writers;
    }
    s.idle.notify_all();
}

std::u16string recordText(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS) throw GeometryError("the record has no size");
    // A number takes at most 24 characters at 17 digits ("-1.2345678901234567e-308"):
    // a vertex, 24 bytes, at most 76 with its separators; every other part
    // of the text is shorter than the bytes that describe it. So 4 characters
    // a byte always hold the text, and a shorter buffer is tried first.
    const std::uint64_t bound = 4 * static_cast<std::uint64_t>(size) + 64;
    constexpr std::uint64_t kMaxCapacity = UINT32_MAX / sizeof(SpatialWChar);
    std::uint64_t capacity = size + 64;
    std::u16string text;
    for (;;) {
        if (capacity > kMaxCapacity) capacity = kMaxCapacity;
        text.resize(capacity);
        // 32768 is also a length: such a text ends in a character at 32767
        // and the terminator at 32768, which the markers tell from a
        // failure, which writes nothing.
        const bool markers = capacity > SPATIAL_FAILURE;
        if (markers) {
            text[SPATIAL_FAILURE - 1] = u'\0';
            text[SPATIAL_FAILURE] = u'?';
        }
        const std::int32_t written = spatialWKB_convertBinaryToText(
            record, text.data(), static_cast<std::uint32_t>(capacity * sizeof(SpatialWChar)));
        const bool failed = written == static_cast<std::int32_t>(SPATIAL_FAILURE) &&
                            !(markers && text[SPATIAL_FAILURE - 1] != u'\0' && text[SPATIAL_FAILURE] == u'\0');
        if (written > 0 && !failed) {
            text.resize(static_cast<std::size_t>(written));
            return text;
        }
        if (failed) throw GeometryError("the record cannot be written as WKT (a type code the writer does not take)");
        if (capacity >= bound || capacity == kMaxCapacity)
            throw GeometryError(
                "the record cannot be written as WKT (an empty vertex list, ring or line, or a text over 2^31 characters)");
        capacity *= 2;
    }
}

}  // namespace spatialgeom::python

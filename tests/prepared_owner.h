// The tests' owner of one prepared geometry: prepares the record when made
// (status holds the result), destroys the handle when it goes.
#pragma once

#include <cstdint>

#include "spatialgeom/prepared.h"

namespace testrecords {

class Prepared {
public:
    explicit Prepared(const void* record) { status = spatialWKB_prepareGeometry(record, &handle); }
    ~Prepared() {
        if (handle != nullptr) spatialWKB_destroyPrepared(&handle);
    }
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    void* handle = nullptr;
    std::uint32_t status = 7;
};

}  // namespace testrecords

/*
 * spatialgeom: owning records from C++.
 *
 * For C this header adds nothing to records.h. C++ gets spatialgeom::RecordPtr,
 * the owner of one record made by the library (a creator,
 * spatialWKB_copy, spatialParse_string): move-only, it releases the record
 * with spatialWKB_destroyGeom when it is destroyed or reset. Header only:
 * it adds no export.
 */
#ifndef SPATIALGEOM_RECORD_PTR_H
#define SPATIALGEOM_RECORD_PTR_H

#include "spatialgeom/records.h"

#ifdef __cplusplus

namespace spatialgeom {

class RecordPtr {
public:
    RecordPtr() noexcept = default;
    /* Takes ownership of record (null for none). */
    explicit RecordPtr(void* record) noexcept : record_(record) {}
    RecordPtr(RecordPtr&& other) noexcept : record_(other.release()) {}
    RecordPtr& operator=(RecordPtr&& other) noexcept {
        reset(other.release());
        return *this;
    }
    RecordPtr(const RecordPtr&) = delete;
    RecordPtr& operator=(const RecordPtr&) = delete;
    ~RecordPtr() { reset(); }

    void* get() const noexcept { return record_; }
    explicit operator bool() const noexcept { return record_ != nullptr; }

    /* The owned variable itself, for the exports that store a record in
     * it (creators, spatialWKB_copy, spatialParse_string: they do not
     * release what it held, so pass it empty) or move the record it holds
     * (the growing exports). */
    void** out() noexcept { return &record_; }

    /* Gives up ownership: the record, now the caller's. */
    void* release() noexcept {
        void* record = record_;
        record_ = nullptr;
        return record;
    }

    /* Releases the record held, if any, and takes ownership of record. */
    void reset(void* record = nullptr) noexcept {
        void* old = record_;
        record_ = record;
        if (old != nullptr) spatialWKB_destroyGeom(&old);
    }

private:
    void* record_ = nullptr;
};

}  // namespace spatialgeom

#endif /* __cplusplus */

#endif /* SPATIALGEOM_RECORD_PTR_H */

// from_wkb, to_wkb, and a Geometry from its record's own bytes (pickling).

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "geometry_object.h"
#include "module_errors.h"
#include "module_functions.h"
#include "object_arrays.h"
#include "record_parsing.h"
#include "spatialgeom/records.h"
#include "spatialgeom/wkb.h"

namespace spatialgeom::python {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes hex digits stand for; false when they are not pairs of digits.
bool fromHex(const char* text, std::size_t length, std::string* bytes) {
    if (length % 2 != 0) return false;
    bytes->resize(length / 2);
    for (std::size_t i = 0; i < length; i += 2) {
        const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        (*bytes)[i / 2] = static_cast<char>(high * 16 + low);
    }
    return true;
}

// One input of from_wkb: a bytes-like object's buffer, held while the
// interpreter lock is released (a bytearray cannot be resized meanwhile),
// or the bytes of a hex string.
struct WkbInput {
    Py_buffer view{};
    bool viewed = false;
    std::string decoded;
    bool present = false;

    WkbInput() = default;
    WkbInput(const WkbInput&) = delete;
    WkbInput& operator=(const WkbInput&) = delete;
    ~WkbInput() {
        if (viewed) PyBuffer_Release(&view);
    }
    const void* data() const { return viewed ? view.buf : decoded.data(); }
    std::size_t size() const { return viewed ? static_cast<std::size_t>(view.len) : decoded.size(); }
};

py::tuple fromWkb(const py::array& values) {
    HeldObjects held(values, "geometry");
    const std::size_t n = held.size();
    const auto inputs = std::make_unique<WkbInput[]>(n);
    std::vector<ReadOutcome> outcomes(n);
    for (std::size_t i = 0; i < n; ++i) {
        PyObject* value = held[i];
        if (isMissing(value)) continue;
        if (PyUnicode_Check(value)) {
            Py_ssize_t length = 0;
            const char* text = PyUnicode_AsUTF8AndSize(value, &length);
            if (text == nullptr) {
                PyErr_Clear();
                outcomes[i].error = "invalid hex WKB: not ASCII";
            } else if (!fromHex(text, static_cast<std::size_t>(length), &inputs[i].decoded)) {
                outcomes[i].error = "invalid hex WKB: an odd count of hex digits, or another character";
            } else {
                inputs[i].present = true;
            }
        } else if (PyObject_CheckBuffer(value)) {
            if (PyObject_GetBuffer(value, &inputs[i].view, PyBUF_C_CONTIGUOUS) != 0) throw py::error_already_set();
            inputs[i].viewed = inputs[i].present = true;
        } else {
            throw py::type_error(std::string("from_wkb: expected bytes, a hex str or None, got ") +
                                 Py_TYPE(value)->tp_name + " at index " + std::to_string(i));
        }
    }
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < n; ++i)
            if (inputs[i].present) outcomes[i] = readWkb(inputs[i].data(), inputs[i].size());
    }
    std::vector<RecordPtr> records(n);
    py::list errors;
    for (std::size_t i = 0; i < n; ++i) {
        records[i] = std::move(outcomes[i].record);
        if (!outcomes[i].error.empty()) errors.append(py::make_tuple(i, outcomes[i].error));
    }
    return py::make_tuple(wrapRecords(records), errors);
}

std::string toHex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text(bytes.size() * 2, '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[2 * i] = digits[byte >> 4];
        text[2 * i + 1] = digits[byte & 15];
    }
    return text;
}

// The ISO WKB (little-endian, with z) of each geometry, as bytes or as
// upper-case hex; None for a missing one.
py::array toWkb(const py::array& geometries, bool hex) {
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    std::vector<std::string> encodings(refs.size());
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refs.size(); ++i) {
            if (refs[i].record == nullptr) continue;
            std::uint32_t size = 0;
            const std::uint32_t query = spatialWKB_toOgcWkb(refs[i].record, nullptr, 0, &size);
            if (query != SPATIAL_BUFFER_TOO_SMALL) {
                throw GeometryError(
                    "the geometry cannot be written as WKB (an empty line, ring, polygon or multipoint, a point "
                    "of NaN coordinates, or an encoding over 4294967295 bytes)");
            }
            encodings[i].resize(size);
            if (spatialWKB_toOgcWkb(refs[i].record, encodings[i].data(), size, &size) != SPATIAL_SUCCESS)
                throw GeometryError("the geometry cannot be written as WKB");
        }
    }
    py::array result = newObjectArray(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i].record == nullptr) continue;
        PyObject* value;
        if (hex) {
            const std::string text = toHex(encodings[i]);
            value = PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
        } else {
            value = PyBytes_FromStringAndSize(encodings[i].data(), static_cast<Py_ssize_t>(encodings[i].size()));
        }
        if (value == nullptr) throw py::error_already_set();
        storeObject(result, i, value);
        std::string().swap(encodings[i]);
    }
    return result;
}

// A Geometry of a record's own bytes (those Geometry.__reduce__ gives):
// checked whole before the library believes them, then copied into a
// record of the library's.
py::object geometryFromRecord(const py::bytes& bytes) {
    char* data = nullptr;
    Py_ssize_t length = 0;
    if (PyBytes_AsStringAndSize(bytes.ptr(), &data, &length) != 0) throw py::error_already_set();
    const auto size = static_cast<std::size_t>(length);
    if (size > UINT32_MAX) throw GeometryError("not a record: over 4294967295 bytes");
    std::vector<std::uint64_t> aligned((size + 7) / 8);
    if (size > 0) std::memcpy(aligned.data(), data, size);
    RecordPtr record;
    {
        py::gil_scoped_release release;
        std::uint32_t recordSize = 0;
        if (size == 0 || spatialWKB_checkRecord(aligned.data(), static_cast<std::uint32_t>(size)) != SPATIAL_SUCCESS ||
            spatialWKB_getSize(aligned.data(), &recordSize) != SPATIAL_SUCCESS || recordSize != size)
            throw GeometryError("not a record: malformed bytes");
        if (spatialWKB_copy(aligned.data(), record.out()) != SPATIAL_SUCCESS) throw std::bad_alloc();
    }
    PyObject* geometry = wrapRecord(record.release());
    if (geometry == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(geometry);
}

}  // namespace

void addWkbFunctions(py::module_& module) {
    module.def("from_wkb", &fromWkb, py::arg("values"),
               "Reads each WKB (bytes-like or hex str; None gives None): (geometries, [(index, reason), ...]).");
    module.def("to_wkb", &toWkb, py::arg("geometries"), py::arg("hex"),
               "The ISO WKB with z of each geometry, as bytes or upper-case hex (None for None).");
    module.def("_geometry_from_record", &geometryFromRecord, py::arg("record"),
               "A Geometry of a record's bytes, checked first (unpickling).");
}

}  // namespace spatialgeom::python

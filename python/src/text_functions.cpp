// from_wkt and to_wkt.

#include <string>
#include <utility>
#include <vector>

#include "module_errors.h"
#include "module_functions.h"
#include "object_arrays.h"
#include "record_parsing.h"
#include "record_text.h"

namespace spatialgeom::python {
namespace {

// (geometries, [(index, reason), ...]): a Geometry per text, None for a
// missing or refused one.
py::tuple fromWkt(const py::array& texts) {
    HeldObjects held(texts, "geometry");
    const std::size_t n = held.size();
    std::vector<std::pair<const char*, std::size_t>> utf8(n, {nullptr, 0});
    std::vector<ReadOutcome> outcomes(n);
    for (std::size_t i = 0; i < n; ++i) {
        PyObject* text = held[i];
        Py_ssize_t length = 0;
        if (PyUnicode_Check(text)) {
            const char* data = PyUnicode_AsUTF8AndSize(text, &length);
            if (data == nullptr) {  // lone surrogates
                PyErr_Clear();
                outcomes[i].error = "the text cannot be encoded as UTF-8";
                continue;
            }
            utf8[i] = {data, static_cast<std::size_t>(length)};
        } else if (PyBytes_Check(text)) {
            utf8[i] = {PyBytes_AS_STRING(text), static_cast<std::size_t>(PyBytes_GET_SIZE(text))};
        } else if (!isMissing(text)) {
            throw py::type_error(std::string("from_wkt: expected str, bytes or None, got ") + Py_TYPE(text)->tp_name +
                                 " at index " + std::to_string(i));
        }
    }
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < n; ++i)
            if (utf8[i].first != nullptr) outcomes[i] = parseWkt(utf8[i].first, utf8[i].second);
    }
    std::vector<RecordPtr> records(n);
    py::list errors;
    for (std::size_t i = 0; i < n; ++i) {
        records[i] = std::move(outcomes[i].record);
        if (!outcomes[i].error.empty()) errors.append(py::make_tuple(i, outcomes[i].error));
    }
    return py::make_tuple(wrapRecords(records), errors);
}

// The text of every geometry (None for a missing one) at precision
// significant digits.
py::array toWkt(const py::array& geometries, int precision) {
    if (precision < kMinPrecision || precision > kMaxPrecision)
        throw py::value_error("to_wkt: precision must be from 1 to 17, got " + std::to_string(precision));
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    std::vector<std::u16string> texts(refs.size());
    {
        py::gil_scoped_release release;
        PrecisionLease lease(precision);
        for (std::size_t i = 0; i < refs.size(); ++i)
            if (refs[i].record != nullptr) texts[i] = recordText(refs[i].record);
    }
    py::array result = newObjectArray(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i].record == nullptr) continue;
        PyObject* text =
            PyUnicode_FromKindAndData(PyUnicode_2BYTE_KIND, texts[i].data(), static_cast<Py_ssize_t>(texts[i].size()));
        if (text == nullptr) throw py::error_already_set();
        storeObject(result, i, text);
        std::u16string().swap(texts[i]);
    }
    return result;
}

}  // namespace

void addTextFunctions(py::module_& module) {
    module.def("from_wkt", &fromWkt, py::arg("texts"),
               "Parses each text (str or bytes; None gives None): (geometries, [(index, reason), ...]).");
    module.def("to_wkt", &toWkt, py::arg("geometries"), py::arg("precision"),
               "The WKT of each geometry (None for None) with precision significant digits (1 to 17).");
}

}  // namespace spatialgeom::python

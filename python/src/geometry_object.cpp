#include "geometry_object.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "module_errors.h"
#include "record_text.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/records.h"

namespace spatialgeom::python {
namespace {

std::atomic<std::int64_t> geometriesAlive{0};
std::atomic<std::int64_t> preparedAlive{0};

constexpr int kReprPrecision = 6;
constexpr std::size_t kReprCharacters = 80;

// The record's bytes as a Python bytes object.
PyObject* recordBytes(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS) {
        PyErr_SetString(PyExc_ValueError, "the record has no size");
        return nullptr;
    }
    return PyBytes_FromStringAndSize(static_cast<const char*>(record), size);
}

// "<Name text>", the text cut after kReprCharacters characters.
PyObject* describe(const char* name, const void* record) {
    std::u16string text;
    std::string failure;
    PyThreadState* thread = PyEval_SaveThread();
    try {
        PrecisionLease lease(kReprPrecision);
        text = recordText(record);
    } catch (const std::exception& error) {
        failure = error.what();
    }
    PyEval_RestoreThread(thread);
    if (!failure.empty()) return PyUnicode_FromFormat("<%s (%s)>", name, failure.c_str());
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < kReprCharacters; ++i)
        shown.push_back(text[i] < 128 ? static_cast<char>(text[i]) : '?');
    if (text.size() > kReprCharacters) shown += "...";
    return PyUnicode_FromFormat("<%s %s>", name, shown.c_str());
}

// A function of the package by name, for pickling.
PyObject* moduleFunction(const char* name) {
    PyObject* module = PyImport_ImportModule("spatialgeom");
    if (module == nullptr) return nullptr;
    PyObject* function = PyObject_GetAttrString(module, name);
    Py_DECREF(module);
    return function;
}

// ---- Geometry

void geometryDealloc(PyObject* self) {
    auto* geometry = reinterpret_cast<GeometryObject*>(self);
    if (geometry->record != nullptr) {
        spatialWKB_destroyGeom(&geometry->record);
        --geometriesAlive;
    }
    Py_TYPE(self)->tp_free(self);
}

PyObject* geometryRepr(PyObject* self) { return describe("Geometry", recordOf(self)); }

PyObject* geometryReduce(PyObject* self, PyObject*) {
    PyObject* function = moduleFunction("_geometry_from_record");
    if (function == nullptr) return nullptr;
    PyObject* bytes = recordBytes(recordOf(self));
    if (bytes == nullptr) {
        Py_DECREF(function);
        return nullptr;
    }
    return Py_BuildValue("(N(N))", function, bytes);
}

// Geometries are equal when their records hold the same bytes.
PyObject* geometryCompare(PyObject* self, PyObject* other, int op) {
    if (!isGeometry(other) || (op != Py_EQ && op != Py_NE)) Py_RETURN_NOTIMPLEMENTED;
    const void* a = recordOf(self);
    const void* b = recordOf(other);
    std::uint32_t sizeA = 0, sizeB = 0;
    bool equal = a == b;
    if (!equal && spatialWKB_getSize(a, &sizeA) == SPATIAL_SUCCESS &&
        spatialWKB_getSize(b, &sizeB) == SPATIAL_SUCCESS && sizeA == sizeB)
        equal = std::memcmp(a, b, sizeA) == 0;
    if (equal == (op == Py_EQ)) Py_RETURN_TRUE;
    Py_RETURN_FALSE;
}

Py_hash_t geometryHash(PyObject* self) {
    PyObject* bytes = recordBytes(recordOf(self));
    if (bytes == nullptr) return -1;
    const Py_hash_t hash = PyObject_Hash(bytes);
    Py_DECREF(bytes);
    return hash;
}

PyMethodDef geometryMethods[] = {
    {"__reduce__", geometryReduce, METH_NOARGS, "Pickles the geometry as its record's bytes."},
    {nullptr, nullptr, 0, nullptr}};

// ---- PreparedGeometry

void preparedDealloc(PyObject* self) {
    auto* prepared = reinterpret_cast<PreparedObject*>(self);
    if (prepared->prepared != nullptr) spatialWKB_destroyPrepared(&prepared->prepared);
    Py_XDECREF(prepared->geometry);
    --preparedAlive;
    Py_TYPE(self)->tp_free(self);
}

PyObject* preparedRepr(PyObject* self) {
    return describe("PreparedGeometry", recordOf(reinterpret_cast<PreparedObject*>(self)->geometry));
}

PyObject* preparedReduce(PyObject* self, PyObject*) {
    PyObject* function = moduleFunction("_prepare_one");
    if (function == nullptr) return nullptr;
    PyObject* geometry = reinterpret_cast<PreparedObject*>(self)->geometry;
    Py_INCREF(geometry);
    return Py_BuildValue("(N(N))", function, geometry);
}

PyObject* preparedGeometry(PyObject* self, void*) {
    PyObject* geometry = reinterpret_cast<PreparedObject*>(self)->geometry;
    Py_INCREF(geometry);
    return geometry;
}

PyMethodDef preparedMethods[] = {
    {"__reduce__", preparedReduce, METH_NOARGS, "Pickles the prepared geometry as its geometry."},
    {nullptr, nullptr, 0, nullptr}};

PyGetSetDef preparedProperties[] = {{"geometry", preparedGeometry, nullptr, "The Geometry prepared.", nullptr},
                                    {nullptr, nullptr, nullptr, nullptr, nullptr}};

PyTypeObject makeGeometryType() {
    PyTypeObject type{};
    type.ob_base.ob_base.ob_refcnt = 1;
    type.tp_name = "spatialgeom.Geometry";
    type.tp_basicsize = sizeof(GeometryObject);
    type.tp_flags = Py_TPFLAGS_DEFAULT;
    type.tp_doc = PyDoc_STR(
        "A geometry: one record of the library, immutable, released when the object goes.\n\n"
        "Made by the module's functions only (from_wkt, from_wkb, the transforms). Equal geometries\n"
        "hold the same record bytes.");
    type.tp_dealloc = geometryDealloc;
    type.tp_repr = geometryRepr;
    type.tp_richcompare = geometryCompare;
    type.tp_hash = geometryHash;
    type.tp_methods = geometryMethods;
    return type;
}

PyTypeObject makePreparedType() {
    PyTypeObject type{};
    type.ob_base.ob_base.ob_refcnt = 1;
    type.tp_name = "spatialgeom.PreparedGeometry";
    type.tp_basicsize = sizeof(PreparedObject);
    type.tp_flags = Py_TPFLAGS_DEFAULT;
    type.tp_doc = PyDoc_STR(
        "A geometry indexed once for many intersection tests (made by prepare). Accepted wherever a\n"
        "Geometry is; .geometry is the Geometry it was made from.");
    type.tp_dealloc = preparedDealloc;
    type.tp_repr = preparedRepr;
    type.tp_methods = preparedMethods;
    type.tp_getset = preparedProperties;
    return type;
}

}  // namespace

PyTypeObject GeometryType = makeGeometryType();
PyTypeObject PreparedType = makePreparedType();

bool addObjectTypes(PyObject* module) {
    if (PyType_Ready(&GeometryType) < 0 || PyType_Ready(&PreparedType) < 0) return false;
    Py_INCREF(&GeometryType);
    if (PyModule_AddObject(module, "Geometry", reinterpret_cast<PyObject*>(&GeometryType)) < 0) {
        Py_DECREF(&GeometryType);
        return false;
    }
    Py_INCREF(&PreparedType);
    if (PyModule_AddObject(module, "PreparedGeometry", reinterpret_cast<PyObject*>(&PreparedType)) < 0) {
        Py_DECREF(&PreparedType);
        return false;
    }
    return true;
}

PyObject* wrapRecord(void* record) {
    auto* object = PyObject_New(GeometryObject, &GeometryType);
    if (object == nullptr) {
        spatialWKB_destroyGeom(&record);
        return nullptr;
    }
    object->record = record;
    ++geometriesAlive;
    return reinterpret_cast<PyObject*>(object);
}

PyObject* wrapPrepared(PyObject* geometry, void* prepared) {
    auto* object = PyObject_New(PreparedObject, &PreparedType);
    if (object == nullptr) {
        if (prepared != nullptr) spatialWKB_destroyPrepared(&prepared);
        return nullptr;
    }
    object->prepared = prepared;
    Py_INCREF(geometry);
    object->geometry = geometry;
    ++preparedAlive;
    return reinterpret_cast<PyObject*>(object);
}

std::int64_t liveGeometries() { return geometriesAlive.load(); }
std::int64_t livePrepared() { return preparedAlive.load(); }

}  // namespace spatialgeom::python

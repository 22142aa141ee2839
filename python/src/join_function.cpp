// sjoin: every pair of two arrays of geometries that meets, by the
// library's join.

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

#include "module_functions.h"
#include "object_arrays.h"
#include "spatialgeom/join.h"

namespace spatialgeom::python {
namespace {

struct FoundPairs {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    bool exhausted = false;  // memory ran out while keeping them
};

void keepPair(void* context, std::uint32_t i, std::uint32_t j) {
    auto* found = static_cast<FoundPairs*>(context);
    if (found->exhausted) return;
    try {
        found->pairs.emplace_back(i, j);
    } catch (...) {  // nothing may leave through the library's frames
        found->exhausted = true;
    }
}

std::vector<const void*> recordsOf(const std::vector<GeometryRef>& refs, const char* argument) {
    if (refs.size() > UINT32_MAX) throw py::value_error(std::string(argument) + ": more than 4294967295 geometries");
    std::vector<const void*> records(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) records[i] = refs[i].record;
    return records;
}

// (indices into a, indices into b) of every pair that meets within
// tolerance, sorted by the first then the second.
py::tuple sjoin(const py::array& a, const py::array& b, double tolerance, std::uint32_t threads) {
    if (!(tolerance >= 0)) throw py::value_error("tolerance must be a number not below 0");
    if (threads == 0) throw py::value_error("threads must be at least 1");
    HeldObjects heldA(a, "a"), heldB(b, "b");
    const std::vector<const void*> recordsA = recordsOf(geometriesOf(heldA, "a"), "a");
    const std::vector<const void*> recordsB = recordsOf(geometriesOf(heldB, "b"), "b");
    FoundPairs found;
    std::uint32_t status;
    {
        py::gil_scoped_release release;
        status =
            spatialWKB_joinRecords(recordsA.data(), static_cast<std::uint32_t>(recordsA.size()), recordsB.data(),
                                   static_cast<std::uint32_t>(recordsB.size()), tolerance, threads, keepPair, &found);
    }
    if (found.exhausted) throw std::bad_alloc();
    if (status != 0) throw std::runtime_error("the join failed: memory or a thread could not be had");
    const auto n = static_cast<py::ssize_t>(found.pairs.size());
    py::array_t<std::int64_t> first(n), second(n);
    std::int64_t* outFirst = first.mutable_data();
    std::int64_t* outSecond = second.mutable_data();
    for (py::ssize_t k = 0; k < n; ++k) {
        outFirst[k] = found.pairs[static_cast<std::size_t>(k)].first;
        outSecond[k] = found.pairs[static_cast<std::size_t>(k)].second;
    }
    return py::make_tuple(first, second);
}

}  // namespace

void addJoinFunctions(py::module_& module) {
    module.def("sjoin", &sjoin, py::arg("a"), py::arg("b"), py::arg("tolerance"), py::arg("threads"),
               "(i, j) index arrays of every pair a[i], b[j] that meets within tolerance, sorted.");
}

}  // namespace spatialgeom::python

// The comparison against GEOS and Boost.Geometry: runs every section,
// prints the table and rewrites the generated part of the results file.
//
//   peer_comparison [RESULTS.md]              the whole comparison
//   peer_comparison --grid [FILTER]           the grid of text workloads only
//       (the workloads and shapes whose "workload | shape" label contains
//       FILTER), printed; no file written
//   peer_comparison --intersections           the intersection workloads only,
//       printed; no file written
//   peer_comparison --distances               the distance workloads only,
//       printed; no file written
//   peer_comparison --joins [COUNT]           the join and nearest rows only,
//       on lists of COUNT geometries (default 100,000), printed; no file
//       written
//   peer_comparison --peak-memory ours|geos   one memory measurement
//   peer_comparison --count-instructions [FILTER]
//       our side of the grid's cells (those whose label contains FILTER),
//       for callgrind (count_instructions.sh)
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "comparison.h"

namespace {

std::string thisProgram(const char* argv0) {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string(argv0);
}

void printGeosNotice(const char* message, void*) { std::fprintf(stderr, "GEOS: %s\n", message); }

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return comparison::measureParseMemory(argv[2]);
    if (argc >= 2 && std::strcmp(argv[1], "--count-instructions") == 0)
        return comparison::countGridInstructions(argc > 2 ? argv[2] : "");
    if (argc >= 2 && argc <= 3 && std::strcmp(argv[1], "--joins") == 0) {
        const long count = argc == 3 ? std::atol(argv[2]) : static_cast<long>(comparison::kJoinCount);
        if (count <= 0) {
            std::fprintf(stderr, "peer_comparison: --joins COUNT: a positive count\n");
            return 2;
        }
        comparison::Report report;
        GEOSContextHandle_t geos = GEOS_init_r();
        GEOSContext_setErrorMessageHandler_r(geos, printGeosNotice, nullptr);
        comparison::compareJoins(geos, &report, static_cast<std::size_t>(count));
        GEOS_finish_r(geos);
        report.print();
        return 0;
    }
    const bool distancesOnly = argc == 2 && std::strcmp(argv[1], "--distances") == 0;
    if (argc == 2 && (std::strcmp(argv[1], "--intersections") == 0 || distancesOnly)) {
        comparison::Report report;
        GEOSContextHandle_t geos = GEOS_init_r();
        GEOSContext_setErrorMessageHandler_r(geos, printGeosNotice, nullptr);
        if (distancesOnly) {
            comparison::compareDistances(geos, &report);
        } else {
            comparison::compareIntersections(geos, &report);
        }
        GEOS_finish_r(geos);
        report.print();
        return 0;
    }
    const bool gridOnly = argc >= 2 && std::strcmp(argv[1], "--grid") == 0;
    if ((argc > 1 && !gridOnly && argv[1][0] == '-') || (argc > 2 && !gridOnly) || argc > 3) {
        std::fprintf(stderr,
                     "usage: peer_comparison [RESULTS.md] | --grid [FILTER] | --intersections | --distances |"
                     " --joins [COUNT] | --count-instructions [FILTER] | --peak-memory FILE\n");
        return 2;
    }
    const std::string results = !gridOnly && argc > 1 ? argv[1] : "RESULTS.md";
    comparison::Report report;
    GEOSContextHandle_t geos = GEOS_init_r();
    GEOSContext_setErrorMessageHandler_r(geos, printGeosNotice, nullptr);
    if (!gridOnly) {
        comparison::compareText(geos, &report);
        comparison::compareIntersections(geos, &report);
        comparison::compareDistances(geos, &report);
        comparison::compareJoins(geos, &report);
    }
    comparison::compareGrid(geos, &report, gridOnly && argc > 2 ? argv[2] : "");
    GEOS_finish_r(geos);
    if (!gridOnly) {
        comparison::compareParseThreads(&report);
        comparison::compareParseMemory(thisProgram(argv[0]), &report);
    }
    report.print();
    if (gridOnly) return 0;
    if (!report.write(results)) {
        std::fprintf(stderr, "peer_comparison: cannot write %s\n", results.c_str());
        return 1;
    }
    std::printf("written to %s\n", results.c_str());
    return 0;
}

// How our parse scales: throughput on one and two threads, and peak
// resident memory of one large parse against GEOS's, each in a process of
// its own so that neither inherits the other's heap.
#include <chrono>
#include <cstdio>
#include <fstream>

#include "comparison.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"
#include "timing.h"

namespace comparison {
namespace {

void parseRange(const std::vector<std::string>& texts, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
        void* record = nullptr;
        spatialParse_string(texts[i].c_str(), &record);
        spatialWKB_destroyGeom(&record);
    }
}

// Bytes of text per second with the texts split between `threads` threads,
// and in *cores the CPU time the process got per second of the measurement
// (on a shared machine other processes can keep a second core busy).
double parseRate(const TextSet& set, unsigned threads, double* cores) {
    const double bytesPerText = static_cast<double>(set.bytes()) / set.texts.size();
    const double cpuBefore = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const double rate = bytesPerText * medianRate([&] {
                            splitAcrossThreads(set.texts.size(), threads, [&](std::size_t begin, std::size_t end) {
                                parseRange(set.texts, begin, end);
                            });
                            return set.texts.size();
                        });
    *cores = (processCpuSeconds() - cpuBefore) /
             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return rate;
}

// A line "Name:   1234 kB" of /proc/self/status, in bytes.
long statusBytes(const std::string& name) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(name + ":")) return std::stol(line.substr(name.size() + 1)) * 1024;
    return -1;
}

// Resets the peak resident size to the current one (Linux 4.0 on).
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

}  // namespace

void compareParseThreads(Report* report) {
    for (const TextSet& set : textSets()) {
        if (set.texts.size() < 2) continue;
        double oneCores = 0.0, twoCores = 0.0;
        const double one = parseRate(set, 1, &oneCores), two = parseRate(set, 2, &twoCores);
        char note[96];
        std::snprintf(note, sizeof note, "(CPU obtained: %.2f cores with 1 thread, %.2f with 2)", oneCores, twoCores);
        report->add({"Parse threads", set.name + ": 2 threads / 1", "MB/s", two / 1e6, "ours, 1 thread", one / 1e6, 1.7,
                     false, note});
    }
}

int measureParseMemory(const std::string& library) {
    const TextSet set = largeMultiPolygon();
    const std::string& text = set.texts.front();
    if (!resetPeak()) return 1;
    const long before = statusBytes("VmRSS");
    uint32_t recordBytes = 0;
    if (library == "ours") {
        void* record = nullptr;
        if (spatialParse_string(text.c_str(), &record) != 0) return 1;
        spatialWKB_getSize(record, &recordBytes);
        const long peak = statusBytes("VmHWM");
        std::printf("%zu %ld %u\n", text.size(), peak - before, recordBytes);
        spatialWKB_destroyGeom(&record);
        return 0;
    }
    GEOSContextHandle_t geos = GEOS_init_r();
    GEOSWKTReader* reader = GEOSWKTReader_create_r(geos);
    GEOSGeometry* g = GEOSWKTReader_read_r(geos, reader, text.c_str());
    const long peak = statusBytes("VmHWM");
    std::printf("%zu %ld %u\n", text.size(), peak - before, recordBytes);
    GEOSGeom_destroy_r(geos, g);
    GEOSWKTReader_destroy_r(geos, reader);
    GEOS_finish_r(geos);
    return g == nullptr;
}

void compareParseMemory(const std::string& program, Report* report) {
    double extra[2] = {0, 0}, textBytes = 0, recordBytes = 0;
    const char* libraries[2] = {"ours", "geos"};
    for (int k = 0; k < 2; ++k) {
        FILE* child = popen(("'" + program + "' --peak-memory " + libraries[k]).c_str(), "r");
        unsigned long text = 0, record = 0;
        long grown = 0;
        const bool read = child != nullptr && std::fscanf(child, "%lu %ld %lu", &text, &grown, &record) == 3;
        if (child == nullptr || pclose(child) != 0 || !read) {
            report->warn(std::string("the peak-memory measurement of ") + libraries[k] + " failed");
            return;
        }
        extra[k] = static_cast<double>(grown);
        textBytes = static_cast<double>(text);
        if (k == 0) recordBytes = static_cast<double>(record);
    }
    const double mb = 1e6;
    report->add({"Parse memory", "multipolygon: text + peak growth", "MB", (textBytes + extra[0]) / mb, "GEOS",
                 (textBytes + extra[1]) / mb, 0.0, true});
    Row bound{"Parse memory",
              "ours: text + peak growth vs text + 2 x record",
              "MB",
              (textBytes + extra[0]) / mb,
              "bound",
              (textBytes + 2 * recordBytes) / mb,
              1.0,
              true};
    bound.note = "(text " + std::to_string(static_cast<long>(textBytes)) + " B, record " +
                 std::to_string(static_cast<long>(recordBytes)) + " B)";
    report->add(bound);
}

std::size_t recordVertexCount(const void* record) {
    uint32_t type = 0, count = 0;
    spatialWKB_getType(record, &type);
    switch (type) {
        case SPATIAL_TYPE_POINT: return 1;
        case SPATIAL_TYPE_LINESTRING: spatialWKB_lineGetPointCount(record, &count); return count;
        case SPATIAL_TYPE_POLYGON: spatialWKB_polygonGetPointCount(record, &count); return count;
        case SPATIAL_TYPE_MULTIPOLYGON: {
            uint32_t polygons = 0;
            std::size_t total = 0;
            spatialWKB_mpolygonGetPolyCount(record, &polygons);
            for (uint32_t i = 0; i < polygons && spatialWKB_mpolygonGetPointCount(record, i, &count) == 0; ++i)
                total += count;
            return total;
        }
        default: return 0;
    }
}

}  // namespace comparison

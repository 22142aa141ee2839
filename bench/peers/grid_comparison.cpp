// The grid of text workloads: the parse of every kind over every coordinate
// shape and spelling, and the write of every kind over every shape at
// several precisions, ours against GEOS on the same data. Also the
// instruction counts of our side of every cell, under callgrind.
#include <algorithm>
#include <functional>
#include <list>
#include <string>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label) ((void)(label))
#endif

#include "comparison.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/records.h"
#include "spatialgeom/text.h"
#include "timing.h"

namespace comparison {
namespace {

// Our precisions (significant digits); GEOS writes as many decimals,
// trimmed (which also caps its text at the shortest round-trip digits).
constexpr int kPrecisions[] = {6, 12, 15, 17};

constexpr double kTarget = 5.0;

// Targets: every parse cell; the write at precisions 6, 12 and 17.
double writeTarget(int precision) { return precision == 15 ? 0.0 : kTarget; }

std::string parseWorkload(GridKind kind) { return std::string("WKT parse, ") + kindName(kind); }
std::string writeWorkload(GridKind kind) { return std::string("WKT write, ") + kindName(kind); }
std::string precisionName(int precision) { return "precision " + std::to_string(precision); }

std::size_t totalBytes(const std::vector<std::string>& texts) {
    std::size_t bytes = 0;
    for (const std::string& text : texts) bytes += text.size();
    return bytes;
}

// Our parse of every text; the number of texts.
std::size_t parseOurs(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        void* record = nullptr;
        spatialParse_string(text.c_str(), &record);
        spatialWKB_destroyGeom(&record);
    }
    return texts.size();
}

std::size_t parseGeos(GEOSContextHandle_t geos, GEOSWKTReader* reader, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) GEOSGeom_destroy_r(geos, GEOSWKTReader_read_r(geos, reader, text.c_str()));
    return texts.size();
}

// Both libraries' geometries of the same texts.
struct Geometries {
    std::vector<void*> ours;
    std::vector<GEOSGeometry*> geos;
};

// Parses the texts with both libraries; false (with a warning) when either
// refuses a text or reads other vertex counts than the data's.
bool parseBoth(GEOSContextHandle_t geos, GEOSWKTReader* reader, const GridData& data,
               const std::vector<std::string>& texts, const std::string& what, Geometries* out, Report* report) {
    std::size_t ourVertices = 0, geosVertices = 0, refused = 0;
    for (const std::string& text : texts) {
        void* record = nullptr;
        if (spatialParse_string(text.c_str(), &record) == 0) ourVertices += recordVertexCount(record);
        else ++refused;
        out->ours.push_back(record);
        GEOSGeometry* g = GEOSWKTReader_read_r(geos, reader, text.c_str());
        if (g != nullptr) geosVertices += static_cast<std::size_t>(GEOSGetNumCoordinates_r(geos, g));
        else ++refused;
        out->geos.push_back(g);
    }
    if (refused == 0 && ourVertices == data.vertexCount && geosVertices == data.vertexCount) return true;
    report->warn(what + ": " + std::to_string(refused) + " texts refused, " + std::to_string(ourVertices) +
                 " vertices read by ours, " + std::to_string(geosVertices) + " by GEOS, " +
                 std::to_string(data.vertexCount) + " written");
    return false;
}

void release(GEOSContextHandle_t geos, Geometries& geometries) {
    for (void*& record : geometries.ours) spatialWKB_destroyGeom(&record);
    for (GEOSGeometry* g : geometries.geos) GEOSGeom_destroy_r(geos, g);
}

// Room for any text of our writer of the data: at most 26 characters a
// number (sign, 17 digits, point, "e-308") and 3 between vertices.
std::vector<SpatialWChar> writeBuffer(const GridData& data) {
    return std::vector<SpatialWChar>(data.vertexCount / data.geometries.size() * 3 * 30 + 1024);
}

// Our text of every record; the number of records.
std::size_t writeOurs(const std::vector<void*>& records, std::vector<SpatialWChar>& buffer) {
    for (const void* record : records)
        spatialWKB_convertBinaryToText(record, buffer.data(), static_cast<uint32_t>(buffer.size() * 2));
    return records.size();
}

std::size_t writeGeos(GEOSContextHandle_t geos, GEOSWKTWriter* writer, const std::vector<GEOSGeometry*>& geometries) {
    for (GEOSGeometry* g : geometries) GEOSFree_r(geos, GEOSWKTWriter_write_r(geos, writer, g));
    return geometries.size();
}

GEOSWKTWriter* geosWriter(GEOSContextHandle_t geos, int precision) {
    GEOSWKTWriter* writer = GEOSWKTWriter_create_r(geos);
    GEOSWKTWriter_setTrim_r(geos, writer, 1);
    GEOSWKTWriter_setRoundingPrecision_r(geos, writer, precision);
    GEOSWKTWriter_setOutputDimension_r(geos, writer, 3);
    return writer;
}

// A cell being timed: both batches (each returns the items it handled),
// the factors from items per second to the cell's units, and the samples.
struct TimedCell {
    GridCell cell;  // all but the rates
    std::function<std::size_t()> ours, theirs;
    double scale = 0.0, otherScale = 0.0;  // items/s to the cell's unit; ours to the other unit
    std::vector<double> oursRates, theirsRates;
};

constexpr int kGridRepetitions = 7;
constexpr double kGridMinSeconds = 0.1;

double median(std::vector<double> rates) {
    std::nth_element(rates.begin(), rates.begin() + static_cast<std::ptrdiff_t>(rates.size() / 2), rates.end());
    return rates[rates.size() / 2];
}

// Times every cell of a workload in rounds: each round runs each cell once,
// ours then GEOS, so that the spells of a shared machine spread over all of
// them and the cells of a workload compare with each other, not only with
// GEOS. The medians of the rounds go to the report.
void timeInRounds(std::vector<TimedCell>& cells, Report* report) {
    for (int round = 0; round < kGridRepetitions; ++round) {
        for (TimedCell& c : cells) {
            c.oursRates.push_back(rateOnce(c.ours, kGridMinSeconds, ThreadCpuClock{}));
            c.theirsRates.push_back(rateOnce(c.theirs, kGridMinSeconds, ThreadCpuClock{}));
        }
    }
    for (TimedCell& c : cells) {
        const double ours = median(c.oursRates);
        c.cell.ours = ours * c.scale;
        c.cell.theirs = median(c.theirsRates) * c.scale;
        c.cell.oursOther = ours * c.otherScale;
        report->add(c.cell);
    }
}

void compareParse(GEOSContextHandle_t geos, GEOSWKTReader* reader, GridKind kind, const std::string& filter,
                  Report* report) {
    std::list<std::vector<std::string>> texts;  // stable while the cells refer to them
    std::vector<TimedCell> cells;
    for (Shape shape : kShapes) {
        const std::string label = parseWorkload(kind) + " | " + shapeName(shape);
        if (label.find(filter) == std::string::npos) continue;
        const GridData data = gridData(kind, shape);
        for (Spelling spelling : kSpellings) {
            const std::vector<std::string>& cellTexts = texts.emplace_back(gridTexts(data, spelling));
            Geometries check;
            const bool read =
                parseBoth(geos, reader, data, cellTexts, label + " | " + spellingName(spelling), &check, report);
            release(geos, check);
            if (!read) continue;
            const double count = static_cast<double>(cellTexts.size());
            TimedCell c{{parseWorkload(kind), "MB/s", shapeName(shape), spellingName(spelling), 0, 0, kTarget},
                        [&cellTexts] { return parseOurs(cellTexts); },
                        [&cellTexts, geos, reader] { return parseGeos(geos, reader, cellTexts); },
                        static_cast<double>(totalBytes(cellTexts)) / count / 1e6,
                        static_cast<double>(data.vertexCount) / count / 1e6,
                        {},
                        {}};
            cells.push_back(std::move(c));
        }
    }
    timeInRounds(cells, report);
}

void compareWrite(GEOSContextHandle_t geos, GEOSWKTReader* reader, GridKind kind, const std::string& filter,
                  Report* report) {
    std::list<Geometries> geometries;
    std::list<std::vector<SpatialWChar>> buffers;
    std::vector<GEOSWKTWriter*> writers;
    std::vector<TimedCell> cells;
    const int32_t previous = spatialWKT_getPrecision();
    for (Shape shape : kShapes) {
        const std::string label = writeWorkload(kind) + " | " + shapeName(shape);
        if (label.find(filter) == std::string::npos) continue;
        const GridData data = gridData(kind, shape);
        Geometries& parsed = geometries.emplace_back();
        if (!parseBoth(geos, reader, data, gridTexts(data, Spelling::kUpper), label, &parsed, report)) continue;
        std::vector<SpatialWChar>& buffer = buffers.emplace_back(writeBuffer(data));
        const double count = static_cast<double>(data.geometries.size());
        for (int precision : kPrecisions) {
            GEOSWKTWriter* writer = writers.emplace_back(geosWriter(geos, precision));
            spatialWKT_setPrecision(precision);
            std::size_t characters = 0;
            for (const void* record : parsed.ours) {
                const int32_t n =
                    spatialWKB_convertBinaryToText(record, buffer.data(), static_cast<uint32_t>(buffer.size() * 2));
                characters += n > 0 ? static_cast<std::size_t>(n) : 0;
            }
            TimedCell c{{writeWorkload(kind), "M vertices/s", shapeName(shape), precisionName(precision), 0, 0,
                         writeTarget(precision)},
                        [&parsed, &buffer, precision] {
                            spatialWKT_setPrecision(precision);
                            return writeOurs(parsed.ours, buffer);
                        },
                        [&parsed, geos, writer] { return writeGeos(geos, writer, parsed.geos); },
                        static_cast<double>(data.vertexCount) / count / 1e6,
                        static_cast<double>(characters) / count / 1e6,
                        {},
                        {}};
            cells.push_back(std::move(c));
        }
    }
    timeInRounds(cells, report);
    spatialWKT_setPrecision(previous);
    for (GEOSWKTWriter* writer : writers) GEOSWKTWriter_destroy_r(geos, writer);
    for (Geometries& g : geometries) release(geos, g);
}

// One callgrind dump of our side of a cell: "label vertices bytes" names it.
template <typename Batch>
void countCell(const std::string& label, std::size_t vertices, std::size_t bytes, Batch&& batch) {
    batch();  // warms the thread's scratch and the heap
    const std::string name = label + " | " + std::to_string(vertices) + " " + std::to_string(bytes);
    CALLGRIND_ZERO_STATS;
    batch();
    CALLGRIND_DUMP_STATS_AT(name.c_str());
    std::printf("%s\n", name.c_str());
}

}  // namespace

void compareGrid(GEOSContextHandle_t geos, Report* report, const std::string& filter) {
    GEOSWKTReader* reader = GEOSWKTReader_create_r(geos);
    for (GridKind kind : kGridKinds) {
        compareParse(geos, reader, kind, filter, report);
        compareWrite(geos, reader, kind, filter, report);
    }
    GEOSWKTReader_destroy_r(geos, reader);
}

int countGridInstructions(const std::string& filter) {
    for (GridKind kind : kGridKinds) {
        for (Shape shape : kShapes) {
            const GridData data = gridData(kind, shape, 10);
            for (Spelling spelling : kSpellings) {
                const std::string label =
                    parseWorkload(kind) + " | " + shapeName(shape) + " | " + spellingName(spelling);
                if (label.find(filter) == std::string::npos) continue;
                const std::vector<std::string> texts = gridTexts(data, spelling);
                countCell(label, data.vertexCount, totalBytes(texts), [&] { return parseOurs(texts); });
            }
            const std::vector<std::string> texts = gridTexts(data, Spelling::kUpper);
            std::vector<void*> records;
            for (const std::string& text : texts) {
                records.push_back(nullptr);
                if (spatialParse_string(text.c_str(), &records.back()) != 0) return 1;
            }
            std::vector<SpatialWChar> buffer = writeBuffer(data);
            for (int precision : kPrecisions) {
                const std::string label =
                    writeWorkload(kind) + " | " + shapeName(shape) + " | " + precisionName(precision);
                if (label.find(filter) == std::string::npos) continue;
                const int32_t previous = spatialWKT_setPrecision(precision);
                countCell(label, data.vertexCount, 0, [&] { return writeOurs(records, buffer); });
                spatialWKT_setPrecision(previous);
            }
            for (void*& record : records) spatialWKB_destroyGeom(&record);
        }
    }
    return 0;
}

}  // namespace comparison

// Load from several threads at once: parses, conversions and writes of
// valid and invalid texts while other threads change the writer's
// precision. Each thread's texts carry numbers of its own, so a record, a
// text or a message that leaked from another thread shows. The
// ThreadSanitizer build runs these tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "record_test_builder.h"
#include "text/wkt_parser.h"

using namespace testrecords;

namespace {

constexpr int kThreads = 8;

// Every coordinate has at most 7 significant digits, so each precision
// below writes it the same way and reads back exactly: threads may change
// the process-wide precision under each other's writes.
constexpr std::int32_t kPrecisions[] = {7, 9, 12, 15, 17};

// One text of a thread's iteration: a geometry in the writer's own form
// (the writer must give it back character for character), or a text with
// a syntax error at a number that names the thread and the iteration.
struct StressText {
    std::string input;
    std::string written;   // empty for an invalid text
    std::string badToken;  // the token the parse fails at
};

StressText stressText(int thread, int iteration) {
    const int id = thread * 100000 + iteration;
    auto vertex = [&](int j) { return std::to_string(id) + " " + std::to_string(j) + ".5 " + std::to_string(-j); };
    auto list = [&](int first, int count) {
        std::string text;
        for (int j = first; j < first + count; ++j) text.append(j == first ? "" : ",").append(vertex(j));
        return text;
    };
    const std::string ring = list(0, 3) + "," + vertex(0);
    const std::string shapes[] = {
        "point(" + vertex(1) + ")",
        "linestring(" + list(0, 3) + ")",
        "polygon((" + ring + "),(" + list(4, 4) + "))",
        "multipoint((" + vertex(0) + "),(" + vertex(1) + "))",
        "multilinestring((" + list(0, 2) + "),(" + list(2, 3) + "))",
        "multipolygon(((" + ring + ")),((" + list(1, 4) + "),(" + ring + ")))",
        "geometrycollection(point(" + vertex(2) + "),linestring(" + list(0, 2) + "))",
    };
    const std::string& shape = shapes[iteration % 7];
    if (iteration % 5 == 3) {
        const std::string bad = std::to_string(id);
        if (iteration % 2 == 0) return {"POINT(" + vertex(0) + " " + bad + ")", "", bad};
        return {"LINESTRING(" + list(0, 2) + " " + bad + ")", "", bad};
    }
    // Keywords are read in any case and written in lower case.
    std::string input = shape;
    if (iteration % 2 == 1) {
        for (char& c : input) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return {input, shape, ""};
}

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::string narrow(const SpatialWChar* text, std::size_t length) { return std::string(text, text + length); }

// Checks one parsed record as its thread sees it; the first fault found,
// or empty. The conversion from wide text parses again: under hostLock
// when the host serialises its parses.
std::string checkOwnRecord(const StressText& text, void* record, std::mutex* hostLock = nullptr) {
    std::uint32_t size = 0;
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS || spatialWKB_checkRecord(record, size) != SPATIAL_SUCCESS)
        return "the parsed record is not well formed";
    // Written whole, then into a buffer one character short.
    std::vector<SpatialWChar> buffer(text.written.size() + 1);
    const auto bytes = static_cast<std::uint32_t>(buffer.size() * 2);
    if (spatialWKB_convertBinaryToText(record, buffer.data(), bytes) !=
            static_cast<std::int32_t>(text.written.size()) ||
        narrow(buffer.data(), text.written.size()) != text.written)
        return "written as " + narrow(buffer.data(), text.written.size()) + " instead of " + text.written;
    if (spatialWKB_convertBinaryToText(record, buffer.data(), bytes - 2) != -1) return "a text one short fitted";
    // The wide conversion gives the same bytes.
    std::vector<std::uint64_t> converted(size / 8 + 1);
    std::uint32_t status;
    {
        std::unique_lock<std::mutex> guard;
        if (hostLock != nullptr) guard = std::unique_lock<std::mutex>(*hostLock);
        status = spatialWKB_convertTextToBinary(widen(text.input).c_str(), converted.data(), size);
    }
    if (status != SPATIAL_SUCCESS || std::memcmp(converted.data(), record, size) != 0)
        return "the wide conversion differs";
    std::uint32_t type = 0, meets = 0;
    if (spatialWKB_getType(record, &type) == SPATIAL_SUCCESS && type != SPATIAL_TYPE_COLLECTION &&
        (spatialWKB_intersectGeometry(record, record, 0.0, &meets) != SPATIAL_SUCCESS || meets != 1))
        return "the record does not meet itself";
    return {};
}

// Every few iterations a thread sets a precision of the stress set; the
// value it replaces must be one of the set too.
std::string changePrecision(int iteration) {
    if (iteration % 3 != 0) return {};
    const std::int32_t previous = spatialWKT_setPrecision(kPrecisions[iteration % std::size(kPrecisions)]);
    const bool known = std::find(std::begin(kPrecisions), std::end(kPrecisions), previous) != std::end(kPrecisions);
    return known ? "" : "a precision of " + std::to_string(previous) + " appeared";
}

// Runs body(thread, iteration) on kThreads threads; each returns its first
// fault. The precision is in the stress set throughout and 6 again after.
std::vector<std::string> runOnThreads(int iterations, const std::function<std::string(int, int)>& body) {
    spatialWKT_setPrecision(kPrecisions[0]);
    std::vector<std::string> faults(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, iterations, &body, &faults] {
            for (int i = 0; i < iterations && faults[t].empty(); ++i) {
                faults[t] = changePrecision(i);
                if (faults[t].empty()) faults[t] = body(t, i);
                if (!faults[t].empty())
                    faults[t] = "thread " + std::to_string(t) + " iteration " + std::to_string(i) + ": " + faults[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    spatialWKT_setPrecision(6);
    return faults;
}

const std::vector<std::string> kNoFaults(kThreads);

// One iteration: parse, then check the record or the refusal. A host that
// wants each parse's own message serialises the parse and the read under a
// lock of its own (hostLock): the message read must be the parse's. Without
// the lock nobody reads the process-wide message, which may be another
// thread's, but the parse's own message is its thread's.
std::string parseAndCheck(int thread, int iteration, std::mutex* hostLock) {
    const StressText text = stressText(thread, iteration);
    LibraryRecord record;
    std::int32_t result;
    std::string message;
    {
        std::unique_lock<std::mutex> guard;
        if (hostLock != nullptr) guard = std::unique_lock<std::mutex>(*hostLock);
        result = spatialParse_string(text.input.c_str(), record.out());
        if (hostLock != nullptr) message = spatialParse_errorString();
    }
    const std::string expected = text.written.empty() ? "parse error, at or near \"" + text.badToken + "\"\n" : "";
    if (hostLock != nullptr && message != expected) return "message " + message;
    if (!text.written.empty())
        return result == 0 ? checkOwnRecord(text, record.get(), hostLock) : "refused " + text.input;
    if (result != SPATIAL_PARSE_SYNTAX_ERROR || record.get() != nullptr) return "an invalid text was not refused";
    if (hostLock != nullptr) return {};
    std::uint32_t size = 0;
    if (spatialWKB_getSizeFromTextGeom(widen(text.input).c_str(), &size) != SPATIAL_PARSE_SYNTAX_ERROR)
        return "an invalid wide text was not refused";
    spatialgeom::ParsedText parsed;
    spatialgeom::ParseMessage own{};
    if (spatialgeom::parseWkt(text.input, &parsed, &own) != spatialgeom::kParseSyntaxError || own.data() != expected)
        return "the parse's own message was " + std::string(own.data());
    return {};
}

TEST(ThreadStress, ParsesConversionsAndWritesOfEachThreadStayItsOwn) {
    EXPECT_EQ(runOnThreads(2000, [](int thread, int i) { return parseAndCheck(thread, i, nullptr); }), kNoFaults);
}

TEST(ThreadStress, MessagesReadUnderAHostLockAreTheParsesOwn) {
    std::mutex hostLock;
    EXPECT_EQ(runOnThreads(1000, [&hostLock](int thread, int i) { return parseAndCheck(thread, i, &hostLock); }),
              kNoFaults);
}

}  // namespace

// The tool's commands with their 1st, 2nd, 3rd ... allocation failing (then
// every allocation from the n-th on), in process, until they run through:
// each failing run either exits with status 1 and "out of memory" and
// leaves no output file, or recovers and gives the whole result; none
// crashes; once memory is back the command succeeds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/allocation/failing_allocations.h"
#include "tools/tool_main.h"

namespace {

namespace fs = std::filesystem;

// The tool's argument vector, made before any allocation is counted.
struct ToolCall {
    explicit ToolCall(const std::vector<std::string>& command) : words{"spatialgeom"} {
        words.insert(words.end(), command.begin(), command.end());
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
    }
    int run() { return spatialgeom::tool::toolMain(static_cast<int>(words.size()), argv.data()); }
    std::vector<std::string> words;
    std::vector<char*> argv;
};

TEST(ToolAllocationFailure, CommandsReportOutOfMemoryAndLeaveNoFile) {
    const fs::path folder = fs::temp_directory_path() / ("spatialgeom_oom_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string output = (folder / "out.hex").string();  // convert takes its format from the name
    const std::string examples = SPATIALGEOM_EXAMPLES_DIR, a = examples + "/a.wkt", b = examples + "/b.wkt";
    const std::vector<std::vector<std::string>> commands = {
        {"join", a, b, "--threads", "1", "--output", output},
        {"join", a, b, "--threads", "2", "--format", "json", "--tolerance", "0.5", "--output", output},
        {"svg", a, b, "--threads", "1", "--title", "t", "--output", output},
        {"info", "POLYGON((0 0 0,4 0 0,4 4 1,0 0 0),(1 1 0,2 1 0,2 2 0,1 1 0))"},
        {"intersects", "POINT(1 1 0)", "POLYGON((0 0 0,4 0 0,4 4 0,0 0 0))", "--tolerance", "0.1"},
        {"distance", "POINT(1 1 3)", "GEOMETRYCOLLECTION(POLYGON((0 0 0,4 0 0,4 4 0,0 0 0)),POINT(9 9 9))"},
        {"transform", "--rotate", "30", "--scale", "2,2,2", "LINESTRING(0 0 0,1 1 1)"},
        {"encode", "MULTIPOLYGON(((0 0 0,4 0 0,4 4 1,0 0 0)),((9 9 9,8 9 9,8 8 9,9 9 9)))"},
        {"convert", a, output},
        {"decode", "--precision", "9"},  // standard input: the record below
    };
    // The record decode reads, made by encode.
    const std::string record = (folder / "record.bin").string();
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(ToolCall({"encode", "POLYGON((0 0 0,4 0 0,4 4 1,0 0 0))"}).run(), 0);
    std::ofstream(record, std::ios::binary) << ::testing::internal::GetCapturedStdout();
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0]);
        long failingRuns = 0;
        // One run: its status, standard output, standard error and file.
        struct Run {
            int status;
            std::string out, err, file;
        };
        const auto run = [&](long failing, bool persistent) {
            fs::remove(output);
            if (command[0] == "decode") {
                const bool reopened = std::freopen(record.c_str(), "rb", stdin) != nullptr;
                EXPECT_TRUE(reopened);
            }
            ::testing::internal::CaptureStdout();
            ::testing::internal::CaptureStderr();
            ToolCall call(command);
            if (failing > 0) failing::failFrom(failing, persistent);
            const int status = call.run();
            failing::disarm();
            Run result{status, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr(), {}};
            if (fs::exists(output)) {
                std::ifstream in(output, std::ios::binary);
                result.file.assign(std::istreambuf_iterator<char>(in), {});
            }
            return result;
        };
        const Run expected = run(0, false);
        ASSERT_EQ(expected.status, 0) << expected.err;
        for (bool persistent : {false, true}) {
            for (long n = 1; n < 100000; ++n) {
                const Run got = run(n, persistent);
                if (!failing::failedSinceArmed()) {
                    EXPECT_EQ(got.status, 0) << got.err;
                    EXPECT_EQ(got.file, expected.file);
                    break;
                }
                ++failingRuns;
                SCOPED_TRACE(::testing::Message() << "allocation " << n << (persistent ? " and later ones" : " alone"));
                if (got.status == 0) {  // recovered: the whole result
                    ASSERT_EQ(got.out, expected.out);
                    ASSERT_EQ(got.file, expected.file);
                    continue;
                }
                ASSERT_EQ(got.status, 1) << got.err;
                ASSERT_NE(got.err.find("out of memory"), std::string::npos) << got.err;
                ASSERT_FALSE(fs::exists(output));
            }
        }
        EXPECT_GT(failingRuns, 0);
    }
    fs::remove_all(folder);
}

}  // namespace

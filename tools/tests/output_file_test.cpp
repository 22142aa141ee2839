// --output: the file appears whole or not at all, whatever ends the run.
#include "tools/output_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "tool_runner.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool::testing {
namespace {

namespace fs = std::filesystem;

// A fresh empty directory per test.
fs::path emptyDirectory(const std::string& name) {
    const fs::path directory = fs::path(temporaryFile(name + ".keep", "")).parent_path() / name;
    fs::remove_all(directory);
    fs::create_directory(directory);
    return directory;
}

std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OutputFile, AppearsOnlyWhenCommitted) {
    const fs::path directory = emptyDirectory("commit");
    const fs::path target = directory / "out.txt";
    {
        std::ofstream(target) << "old\n";
        OutputFile output(target.string());
        std::fputs("new\n", output.stream());
        std::fflush(output.stream());
        // Meanwhile the old file is untouched and the new one is aside.
        EXPECT_EQ(fileContent(target), "old\n");
        EXPECT_EQ(namesIn(directory).size(), 2u);
        output.commit();
    }
    EXPECT_EQ(fileContent(target), "new\n");
    EXPECT_EQ(namesIn(directory), std::vector<std::string>{"out.txt"});

    {
        OutputFile output(target.string());
        std::fputs("abandoned\n", output.stream());
    }  // destroyed without commit: as when a command throws
    EXPECT_EQ(fileContent(target), "new\n");
    EXPECT_EQ(namesIn(directory), std::vector<std::string>{"out.txt"});

    EXPECT_THROW(OutputFile((directory / "missing" / "out.txt").string()), ToolError);
    EXPECT_THROW(OutputFile(directory.string() + "/"), ToolError);
}

TEST(OutputFile, AnInterruptedRunLeavesNothing) {
    const fs::path directory = emptyDirectory("interrupted");
    for (int signal : {SIGINT, SIGTERM}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            OutputFile output((directory / "out.txt").string());
            std::fputs("half of it\n", output.stream());
            std::fflush(output.stream());
            raise(signal);
            _exit(0);  // not reached
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(namesIn(directory), std::vector<std::string>{});
    }
}

// A failing command leaves no file: the allocation failure test of the
// commands (tools/tests/allocation) checks it for join, svg and convert.
TEST(OutputFile, JoinWritesTheFile) {
    const std::string target = (emptyDirectory("join") / "pairs.csv").string();
    expectRuns({{{"join", examplePath("a.wkt"), examplePath("b.wkt"), "--format", "csv", "--output", target}}});
    EXPECT_EQ(fileContent(target), "a,b\n1,2\n2,3\n2,8\n4,7\n4,8\n");
}

}  // namespace
}  // namespace spatialgeom::tool::testing

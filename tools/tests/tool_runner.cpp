#include "tool_runner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace spatialgeom::tool::testing {
namespace {

namespace fs = std::filesystem;

// One directory per test process, removed at exit.
const fs::path& scratchDirectory() {
    static const fs::path directory = [] {
        std::string pattern = (fs::temp_directory_path() / "spatialgeom-tool-XXXXXX").string();
        const char* made = mkdtemp(pattern.data());
        if (made == nullptr) std::abort();
        std::atexit([] { fs::remove_all(scratchDirectory()); });
        return fs::path(made);
    }();
    return directory;
}

}  // namespace

std::string fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string temporaryFile(const std::string& name, const std::string& content) {
    const fs::path path = scratchDirectory() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

std::string examplePath(const std::string& name) { return std::string(SPATIALGEOM_EXAMPLES_DIR) + "/" + name; }

ToolRun runTool(const std::vector<std::string>& arguments, const std::string& input) {
    static int runs = 0;
    const std::string id = std::to_string(getpid()) + "-" + std::to_string(++runs);
    const std::string in = temporaryFile("in-" + id, input);
    const std::string out = (scratchDirectory() / ("out-" + id)).string();
    const std::string err = (scratchDirectory() / ("err-" + id)).string();
    // A shell command of single-quoted words, which pass any bytes.
    std::string command;
    const auto add = [&command](const char* before, const std::string& word) {
        command.append(before).append("'");
        for (const char c : word) {
            if (c == '\'') command.append("'\\''");
            else command.push_back(c);
        }
        command.append("'");
    };
    add("", SPATIALGEOM_TOOL_PATH);
    for (const std::string& argument : arguments) add(" ", argument);
    add(" <", in);
    add(" >", out);
    add(" 2>", err);
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, fileContent(out), fileContent(err)};
}

void expectRuns(const std::vector<Expected>& cases) {
    for (const Expected& expected : cases) {
        SCOPED_TRACE(::testing::PrintToString(expected.arguments));
        const ToolRun run = runTool(expected.arguments, expected.input);
        EXPECT_EQ(run.exitStatus, expected.exitStatus) << run.err;
        EXPECT_EQ(run.out, expected.out);
        EXPECT_EQ(run.err.empty(), expected.exitStatus == 0) << run.err;
        if (expected.messages.empty()) continue;
        std::istringstream err(run.err);
        std::vector<std::string> lines;
        for (std::string line; std::getline(err, line);) lines.push_back(line);
        EXPECT_EQ(lines.size(), expected.messages.size()) << run.err;
        for (std::size_t i = 0; i < std::min(lines.size(), expected.messages.size()); ++i) {
            EXPECT_NE(lines[i].find(expected.messages[i]), std::string::npos) << run.err;
        }
    }
}

}  // namespace spatialgeom::tool::testing

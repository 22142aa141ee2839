#include "tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

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

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> argv = {SPATIALGEOM_TOOL_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    ToolRun run;
    pid_t child = 0;
    if (posix_spawn(&child, SPATIALGEOM_TOOL_PATH, &files, nullptr, pointers.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
        run.out = fileContent(out);
        run.err = fileContent(err);
    }
    posix_spawn_file_actions_destroy(&files);
    return run;
}

}  // namespace spatialgeom::tool::testing

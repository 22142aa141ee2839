// spatialgeom: the command-line tool of the library. Dispatches to one
// command per verb; every failure ends with a message on standard error and
// a non-zero exit status.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string_view>

#include "tools/commands.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

struct Command {
    std::string_view name;
    int (*run)(CommandLine&);
};

constexpr Command kCommands[] = {
    {"info", runInfo},         {"intersects", runIntersects}, {"transform", runTransform}, {"encode", runEncode},
    {"decode", runDecode},     {"join", runJoin},             {"svg", runSvg},
};

constexpr const char* kUsage =
    "usage: spatialgeom <command> [arguments]\n"
    "\n"
    "  info [WKT|-]                        kind, counts, record size and 3D range\n"
    "  intersects A B [--tolerance T]      true when A and B meet within T (3D distance)\n"
    "  transform [--translate X,Y,Z] [--scale SX,SY,SZ[@FX,FY,FZ]]\n"
    "            [--rotate DEG [--axis X0,Y0,Z0,X1,Y1,Z1]] [--mirror PX,PY,PZ/NX,NY,NZ]\n"
    "            [--precision N] WKT      applies the transforms in order, prints WKT\n"
    "  encode [WKT|-]                      the record's bytes on standard output\n"
    "  decode [--precision N]              record bytes from standard input, as WKT\n"
    "  join A.wkt B.wkt [--tolerance T] [--threads N]\n"
    "                                      \"i j\" for every pair of lines that meet\n"
    "  svg [--tolerance T] [--threads N] FILE.wkt... > out.svg\n"
    "                                      draws the files on XY, meeting geometries in red\n"
    "\n"
    "Files hold one WKT geometry per line. WKT or a file given as - is read from\n"
    "standard input. Exit status: 0 success, 1 input refused (for join and svg: some\n"
    "lines were refused and skipped), 2 wrong command line.\n";

int dispatch(std::span<char* const> arguments) {
    if (arguments.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string_view name = arguments[0];
    if (name == "help" || name == "--help" || name == "-h") {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            CommandLine commandLine(arguments.subspan(1));
            return command.run(commandLine);
        }
    }
    throw usageError("unknown command '" + std::string(name) + "' (see spatialgeom --help)");
}

}  // namespace

void expectNoMoreArguments(const CommandLine& arguments) {
    if (!arguments.done()) throw usageError("unexpected argument '" + std::string(arguments.peek()) + "'");
}

}  // namespace spatialgeom::tool

int main(int argc, char** argv) {
    using namespace spatialgeom::tool;
    int status = kExitSuccess;
    try {
        status = dispatch(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const ToolError& error) {
        std::fprintf(stderr, "spatialgeom: %s\n", error.what());
        status = error.exitCode();
    } catch (const std::bad_alloc&) {
        std::fputs("spatialgeom: out of memory\n", stderr);
        status = kExitBadInput;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "spatialgeom: cannot write standard output: %s\n", std::strerror(errno));
        status = kExitBadInput;
    }
    return status;
}

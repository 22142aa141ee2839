#include "tools/tool_main.h"

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
    {"info", runInfo},     {"intersects", runIntersects}, {"transform", runTransform},
    {"encode", runEncode}, {"decode", runDecode},         {"join", runJoin},
    {"svg", runSvg},
};

constexpr const char* kUsage =
    "usage: spatialgeom <command> [arguments]\n"
    "\n"
    "  info [WKT|-]\n"
    "      kind, counts, record size and 3D range of one geometry\n"
    "  intersects A B [--tolerance T]\n"
    "      \"true\" when A and B meet within T (a 3D distance, default 0), else \"false\"\n"
    "  transform [--translate X,Y,Z] [--scale SX,SY,SZ[@FX,FY,FZ]]\n"
    "            [--rotate DEG [--axis X0,Y0,Z0,X1,Y1,Z1]] [--mirror PX,PY,PZ/NX,NY,NZ]\n"
    "            [--precision N] WKT\n"
    "      applies the transforms in the order given and prints the result\n"
    "  encode [WKT|-]\n"
    "      the record's bytes on standard output\n"
    "  decode [--precision N]\n"
    "      checks record bytes from standard input and prints them as WKT\n"
    "  join A.wkt B.wkt [--tolerance T] [--threads N]\n"
    "      \"i j\" (line numbers) for every pair of lines of A and B that meet\n"
    "  svg [--tolerance T] [--threads N] FILE.wkt... > out.svg\n"
    "      draws the files on XY, geometries that meet another one in red\n"
    "\n"
    "Files hold one WKT geometry per line. A WKT argument or a file given as -\n"
    "is read from standard input. Exit status: 0 success, 1 input refused (join\n"
    "and svg: some lines refused and skipped, the rest done), 2 wrong usage.\n";

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

int toolMain(int argc, char** argv) {
    int status = kExitSuccess;
    try {
        status = dispatch(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const ToolError& error) {
        std::fprintf(stderr, "spatialgeom: %s\n", error.what());
        status = error.exitCode();
    } catch (const std::bad_alloc&) {
        std::fputs("spatialgeom: out of memory\n", stderr);
        status = kExitBadInput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "spatialgeom: %s\n", error.what());
        status = kExitBadInput;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "spatialgeom: cannot write standard output: %s\n", std::strerror(errno));
        status = kExitBadInput;
    }
    return status;
}

}  // namespace spatialgeom::tool

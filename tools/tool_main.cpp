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
    {"svg", runSvg},       {"convert", runConvert},
};

constexpr const char* kUsage =
    "usage: spatialgeom <command> [arguments]\n"
    "\n"
    "  info [WKT|-]\n"
    "      kind, counts, record size and 3D range of one geometry\n"
    "  info SOURCE [--layer NAME]\n"
    "      the same summed over the geometries of a data source\n"
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
    "  join A B [--layer NAME]... [--tolerance T] [--threads N]\n"
    "      \"i j\" (feature ids: line numbers, FIDs) for every pair of A and B that meet\n"
    "  svg [--layer NAME]... [--tolerance T] [--threads N] SOURCE... > out.svg\n"
    "      draws the sources on XY, geometries that meet another one in red\n"
    "  convert IN OUT [--layer NAME] [--precision N]\n"
    "      writes IN's geometries to OUT: .wkt (or -) WKT lines, .hex hex WKB lines,\n"
    "      .geojson or .gpkg (GDAL); WKT at 17 significant digits unless N given\n"
    "\n"
    "A source is a file of one WKT geometry per line (.wkt, or - for standard\n"
    "input), of one hex WKB geometry per line (.hex), or (built with GDAL) any\n"
    "vector data source GDAL opens (GeoPackage, Shapefile, FlatGeobuf, GeoJSON,\n"
    "CSV with WKT...), read from its first layer or the one --layer names (one\n"
    "--layer for all sources, or one per source in order; line files ignore\n"
    "it). Features are named by id: line numbers from 1 in line files, FIDs in\n"
    "GDAL's sources; a feature whose geometry cannot be taken is reported as\n"
    "source:id: reason and skipped. A WKT argument given as - is read from\n"
    "standard input. Exit status: 0 success, 1 input refused (join, svg,\n"
    "convert, info of a source: some features skipped, the rest done), 2 wrong\n"
    "usage.\n";

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

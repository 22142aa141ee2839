#include "tools/command_help.h"

#include <cstdio>

#include "spatialgeom/version.h"

#ifndef SPATIALGEOM_TOOL_VERSION
#error "SPATIALGEOM_TOOL_VERSION must be defined by the build"
#endif

namespace spatialgeom::tool {
namespace {

struct Usage {
    std::string_view command;
    const char* text;
};

constexpr Usage kUsages[] = {
    {"info",
     "Usage: spatialgeom info [WKT|-]\n"
     "  or:  spatialgeom info SOURCE [--layer NAME]\n"
     "\n"
     "Kind, counts of polygons, rings, lines, points and vertices, record size\n"
     "and 3D range of one geometry, given as an argument or read from standard\n"
     "input (- or no argument); of a data source (an existing file or folder, or\n"
     "a name ending in .wkt or .hex), the same summed over its geometries.\n"
     "\n"
     "  --layer NAME    the layer of a data source (default: its first)\n"},
    {"intersects",
     "Usage: spatialgeom intersects A B [--tolerance T]\n"
     "\n"
     "Prints \"true\" when the geometries A and B (WKT) meet, else \"false\".\n"
     "\n"
     "  --tolerance T   they meet when their shortest 3D distance is at most T\n"
     "                  (default 0)\n"},
    {"transform",
     "Usage: spatialgeom transform [--translate X,Y,Z] [--scale SX,SY,SZ[@FX,FY,FZ]]\n"
     "           [--rotate DEG [--axis X0,Y0,Z0,X1,Y1,Z1]] [--mirror PX,PY,PZ/NX,NY,NZ]\n"
     "           [--precision N] WKT\n"
     "\n"
     "Applies the transforms in the order given and prints the result as WKT.\n"
     "\n"
     "  --translate X,Y,Z          moves by the vector\n"
     "  --scale SX,SY,SZ[@F]       scales about the fixed point F (default the origin)\n"
     "  --rotate DEG               turns counter-clockwise looking from the axis's\n"
     "                             second point towards its first\n"
     "  --axis X0,Y0,Z0,X1,Y1,Z1   the axis of the next --rotate (default the z axis)\n"
     "  --mirror PX,PY,PZ/NX,NY,NZ mirrors in the plane through P with normal N\n"
     "  --precision N              significant digits written, 1 to 17 (default 6)\n"},
    {"encode",
     "Usage: spatialgeom encode [WKT|-]\n"
     "\n"
     "Writes the record's bytes of one geometry on standard output.\n"},
    {"decode",
     "Usage: spatialgeom decode [--precision N] < RECORD\n"
     "\n"
     "Checks record bytes from standard input (every count, every walk inside\n"
     "them, nothing left over) and prints them as WKT.\n"
     "\n"
     "  --precision N   significant digits written, 1 to 17 (default 6)\n"},
    {"join",
     "Usage: spatialgeom join A B [--layer NAME]... [--tolerance T] [--threads N]\n"
     "           [--format pairs|csv|json] [--output FILE]\n"
     "\n"
     "Every pair of features of the sources A and B whose geometries meet, by\n"
     "their ids (line numbers from 1 in line files, FIDs in GDAL's sources), in\n"
     "the order the sources list them.\n"
     "\n"
     "  --layer NAME    the layer to read (once for both sources, or once per\n"
     "                  source in order; default: the first layer)\n"
     "  --tolerance T   they meet when their shortest 3D distance is at most T\n"
     "                  (default 0)\n"
     "  --threads N     threads that read and test (default: every core)\n"
     "  --format F      pairs: \"a b\" per line (default); csv: a header line \"a,b\"\n"
     "                  then \"a,b\" per pair; json: one object {\"a\":A,\"b\":B} per line\n"
     "  --output FILE   writes FILE instead of standard output; it appears only\n"
     "                  once complete (written aside, renamed at the end)\n"},
    {"nearest",
     "Usage: spatialgeom nearest A B [--layer NAME]... [--max-distance D]\n"
     "           [--threads N] [--format pairs|csv|json] [--output FILE]\n"
     "\n"
     "For each feature of B, the feature of A nearest to it by the exact shortest\n"
     "3D distance (ties: the first in A's order), by their ids, with the distance,\n"
     "in B's order; a feature of B with nothing within D is left out.\n"
     "\n"
     "  --layer NAME    the layer to read (once for both sources, or once per\n"
     "                  source in order; default: the first layer)\n"
     "  --max-distance D  the largest distance reported (default: no limit)\n"
     "  --threads N     threads that read and search (default: every core)\n"
     "  --format F      pairs: \"b a distance\" per line (default); csv: a header\n"
     "                  line \"b,a,distance\" then one line per feature of B; json:\n"
     "                  one object {\"b\":B,\"a\":A,\"distance\":D} per line\n"
     "  --output FILE   writes FILE instead of standard output; it appears only\n"
     "                  once complete (written aside, renamed at the end)\n"},
    {"svg",
     "Usage: spatialgeom svg [--layer NAME]... [--tolerance T] [--threads N]\n"
     "           [--title TEXT] [--output FILE] SOURCE...\n"
     "\n"
     "Draws the geometries of the sources projected on XY (y up), one colour per\n"
     "source, those that meet a geometry other than themselves in red, with a\n"
     "legend, a scale bar in the data's units and a frame labelled with the\n"
     "coordinate range. Each shape's tooltip is its source:id.\n"
     "\n"
     "  --layer NAME    the layer to read (once for all sources, or once per\n"
     "                  source in order; default: the first layer)\n"
     "  --tolerance T   they meet when their shortest 3D distance is at most T\n"
     "                  (default 0)\n"
     "  --threads N     threads that read and test (default: every core)\n"
     "  --title TEXT    a title above the drawing\n"
     "  --output FILE   writes FILE instead of standard output; it appears only\n"
     "                  once complete (written aside, renamed at the end)\n"},
    {"convert",
     "Usage: spatialgeom convert IN OUT [--layer NAME] [--precision N]\n"
     "\n"
     "Writes the geometries of the source IN to OUT, in the format its name\n"
     "ends with: .wkt (or - for standard output) WKT lines, .hex hex WKB lines,\n"
     "or, built with GDAL, .geojson or .gpkg (the layer's name and CRS and the\n"
     "features' FIDs kept; OUT replaced).\n"
     "\n"
     "  --layer NAME    the layer of IN (default: its first)\n"
     "  --precision N   significant digits of WKT, 1 to 17 (default 17, which\n"
     "                  reads back to the same numbers)\n"},
    {"distance",
     "Usage: spatialgeom distance A B [--precision N]\n"
     "\n"
     "Prints the shortest 3D distance between the geometries A and B (WKT), the\n"
     "exact one rounded upwards, and a point of each where it is reached (\"none\"\n"
     "when there is no such point: a line without a segment, whose distance is\n"
     "inf). A geometry collection is measured by its nearest member.\n"
     "\n"
     "  --precision N   significant digits written, 1 to 17 (default: as many as\n"
     "                  read back to the same numbers)\n"},
};

}  // namespace

const char* const kOverview =
    "Usage: spatialgeom COMMAND [ARGUMENTS]\n"
    "  or:  spatialgeom COMMAND --help\n"
    "  or:  spatialgeom help COMMAND\n"
    "  or:  spatialgeom --help | --version\n"
    "Describes, tests, transforms, joins and draws 3D geometries written as WKT.\n"
    "\n"
    "Commands:\n"
    "  info        kind, counts, record size and 3D range of one geometry\n"
    "  intersects  \"true\" when two geometries meet within a tolerance, else \"false\"\n"
    "  transform   translates, scales, rotates and mirrors a geometry\n"
    "  encode      the record's bytes of a geometry on standard output\n"
    "  decode      checks record bytes from standard input and prints them as WKT\n"
    "  join        the pairs of features of two sources whose geometries meet\n"
    "  nearest     for each feature of one source, the nearest of another\n"
    "  svg         draws sources of geometries as an SVG picture with a legend\n"
    "  convert     writes a source's geometries as WKT, hex WKB, GeoJSON or GeoPackage\n"
    "  distance    the shortest 3D distance between two geometries, with the points\n"
    "\n"
    "Options:\n"
    "  -h, --help     this overview; after a command, that command's usage\n"
    "  -V, --version  the versions of the tool and of the library it runs with\n"
    "\n"
    "A source is a file of one WKT geometry per line (.wkt, or - for standard\n"
    "input), of one hex WKB geometry per line (.hex), or (built with GDAL) any\n"
    "vector data source GDAL opens (GeoPackage, Shapefile, FlatGeobuf, GeoJSON,\n"
    "CSV with WKT...), read from its first layer or the one --layer names.\n"
    "Features are named by id: line numbers from 1 in line files, FIDs in\n"
    "GDAL's sources; a feature whose geometry cannot be taken is reported as\n"
    "source:id: reason and skipped. A WKT argument given as - is read from\n"
    "standard input.\n"
    "\n"
    "Exit status: 0 success, 1 input refused (join, nearest, svg, convert, info of a\n"
    "source: some features skipped, the rest done), 2 wrong usage.\n";

const char* commandUsage(std::string_view command) {
    for (const Usage& usage : kUsages) {
        if (usage.command == command) return usage.text;
    }
    return nullptr;
}

bool asksForHelp(std::span<char* const> arguments) {
    for (const char* argument : arguments) {
        const std::string_view text = argument;
        if (text == "--help" || text == "-h") return true;
    }
    return false;
}

void printVersion() {
    std::printf("spatialgeom %s\nlibrary: libspatialgeom %s\n", SPATIALGEOM_TOOL_VERSION, spatialWKB_version());
}

}  // namespace spatialgeom::tool

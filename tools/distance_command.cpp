// spatialgeom distance A B [--precision N]: the shortest 3D distance
// between two geometries and a point of each where it is reached.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/geometry_distance.h"
#include "tools/input_text.h"
#include "tools/number_text.h"
#include "tools/tool_error.h"

namespace spatialgeom::tool {
namespace {

std::string pointText(const DPoint3d& p, int digits) {
    if (std::isnan(p.x) || std::isnan(p.y) || std::isnan(p.z)) return "none";
    return numberText(p.x, digits) + " " + numberText(p.y, digits) + " " + numberText(p.z, digits);
}

}  // namespace

int runDistance(CommandLine& arguments) {
    int digits = 0;  // the shortest text that reads back
    std::vector<std::string_view> texts;
    while (!arguments.done()) {
        if (arguments.takeFlag("--precision")) {
            digits = parsePrecision(arguments.takeValue("--precision"));
        } else {
            texts.push_back(arguments.takePositional());
        }
    }
    if (texts.size() != 2) throw usageError("distance needs two geometries");
    if (texts[0] == "-" && texts[1] == "-") throw usageError("only one geometry can come from standard input");
    const RecordPtr a = geometryFromArgument(texts[0]);
    const RecordPtr b = geometryFromArgument(texts[1]);
    Nearness nearness;
    if (!geometryDistance(a.get(), b.get(), &nearness)) throw inputError("a geometry has no vertex to measure from");
    std::printf("distance: %s\non A: %s\non B: %s\n", numberText(nearness.distance, digits).c_str(),
                pointText(nearness.onA, digits).c_str(), pointText(nearness.onB, digits).c_str());
    return kExitSuccess;
}

}  // namespace spatialgeom::tool

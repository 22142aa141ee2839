#include "tools/tool_main.h"

int main(int argc, char** argv) { return spatialgeom::tool::toolMain(argc, argv); }

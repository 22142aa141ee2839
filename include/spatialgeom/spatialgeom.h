/* spatialgeom: the whole public interface. */
#ifndef SPATIALGEOM_SPATIALGEOM_H
#define SPATIALGEOM_SPATIALGEOM_H

#include "spatialgeom/join.h"
#include "spatialgeom/parse.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "spatialgeom/text.h"
#include "spatialgeom/transform.h"
#include "spatialgeom/types.h"
#include "spatialgeom/version.h"
#include "spatialgeom/wkb.h"

#endif /* SPATIALGEOM_SPATIALGEOM_H */

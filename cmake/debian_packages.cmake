# Debian packages, built by `cpack -G DEB` in a build tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr (then the library goes to the multiarch
# directory). Three packages, one per install component:
#   libspatialgeom1     (runtime)      the shared library
#   libspatialgeom-dev  (development)  headers, the .so link, the CMake
#                                      package and the pkg-config file
#   spatialgeom-tools   (tools)        the spatialgeom tool and its manual page
# dpkg-shlibdeps finds what the library and the tool need from the system;
# the dev and tools packages depend on exactly this version of the library.
set(SPATIALGEOM_MAINTAINER "spatialgeom developers <spatialgeom@lists.example.org>")

# Each package's copyright and changelog, as Debian policy wants them.
find_program(SPATIALGEOM_GZIP gzip)
# The packages are native (no Debian revision): the file is "changelog".
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
set(SPATIALGEOM_CHANGELOG ${PROJECT_BINARY_DIR}/debian/changelog)
if(SPATIALGEOM_GZIP)
  # -n: no name or time stamp inside, so the packages are reproducible.
  execute_process(COMMAND ${SPATIALGEOM_GZIP} -9nf ${SPATIALGEOM_CHANGELOG})
  set(SPATIALGEOM_CHANGELOG ${SPATIALGEOM_CHANGELOG}.gz)
endif()
foreach(component_package IN ITEMS "runtime;libspatialgeom1" "development;libspatialgeom-dev"
                                   "tools;spatialgeom-tools")
  list(GET component_package 0 component)
  list(GET component_package 1 package)
  if(component STREQUAL "tools" AND NOT TARGET spatialgeom_tool)
    continue()
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${SPATIALGEOM_CHANGELOG}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME spatialgeom)
set(CPACK_PACKAGE_VENDOR "spatialgeom developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${SPATIALGEOM_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development)
if(TARGET spatialgeom_tool)
  list(APPEND CPACK_COMPONENTS_ALL tools)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# The tool's library is in the runtime package, staged next to the tool's
# (dpkg-shlibdeps runs in the package's staging directory); its dependency
# comes from the component's DEPENDS.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ../runtime${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libspatialgeom1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Descriptions: the summary line, then lines of at most 79 characters,
# paragraphs separated by an empty line (CPack indents them and turns the
# empty lines into " .").
set(SPATIALGEOM_DEB_ABOUT
    "libspatialgeom keeps points, linestrings, polygons with holes, their multi
forms and geometry collections, every vertex with x, y and z, in compact
binary records. It reads and writes them as Well-Known Text and Well-Known
Binary, computes their 3D ranges, tests two of them for intersection within a
3D distance tolerance, and applies affine transforms to them.")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "3D spatial-geometry library with a plain C interface
${SPATIALGEOM_DEB_ABOUT}

This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libspatialgeom-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "3D spatial-geometry library with a plain C interface - development files
${SPATIALGEOM_DEB_ABOUT}

This package holds the C headers (C99 and C++), the CMake package
(find_package(spatialgeom)) and the pkg-config file.")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME spatialgeom-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION science)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "3D spatial-geometry library with a plain C interface - command-line tool
The spatialgeom tool describes, tests, transforms, joins and draws geometries
written as Well-Known Text: the pairs of two files' geometries that meet (as
text, CSV or JSON lines), SVG pictures with a legend and a scale, and the
conversions of records.

This package holds the tool and its manual page.")

include(CPack)

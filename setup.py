"""Builds the extension module spatialgeom._spatialgeom with CMake.

The project's CMake build makes the module (python/CMakeLists.txt) with the
library linked in; this step configures it in a scratch folder, without the
tests, the tool and the benchmarks, for the interpreter running pip, and
builds only the module, straight into the wheel's package folder. The
metadata is in pyproject.toml; the version is the library's.
"""

import os
import re
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent


def library_version():
    """The version in the project() call of CMakeLists.txt."""
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(spatialgeom VERSION ([0-9.]+)", text).group(1)


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        output = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build = Path(self.build_temp).resolve() / "cmake"
        build.mkdir(parents=True, exist_ok=True)
        configure = [
            "cmake",
            "-S", str(SOURCE),
            "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython3_EXECUTABLE={sys.executable}",
            f"-DSPATIALGEOM_PYTHON_OUTPUT_DIR={output}",
            "-DSPATIALGEOM_PYTHON=ON",
            "-DSPATIALGEOM_BUILD_TESTS=OFF",
            "-DSPATIALGEOM_BUILD_TOOLS=OFF",
            "-DSPATIALGEOM_BUILD_BENCH=OFF",
        ]
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.run(["cmake", "--build", str(build), "--target", "spatialgeom_python", "-j", jobs], check=True)


setup(
    version=library_version(),
    ext_modules=[CMakeExtension("spatialgeom._spatialgeom")],
    cmdclass={"build_ext": CMakeBuild},
    # Not build/, the CMake build folder the README uses.
    options={"build": {"build_base": "build-pip"}},
)

#!/usr/bin/env python3
"""Mutation testing: how many small deliberate faults the test suite catches.

Each mutant of tools/dev/mutants.txt replaces one snippet of one source file
(the snippet must occur exactly once there, so the list stays current with
the code: a stale entry is reported, not skipped silently). The script
copies the working tree once, configures one build there, then for each
mutant applies it, rebuilds, runs the tests and restores the file. A mutant
is killed when a test fails or times out, survives when every test passes,
and is stillborn when it does not compile (not counted). The tests run split
over --jobs processes, each stopping at its first failure; a killed
mutant's line names the test that failed.

    tools/dev/mutation_test.py [--only SUBSTRING] [--jobs N] [--keep DIR] [--list FILE] [--sanitize]

Run it plainly first, then the survivors again with --sanitize (a list of
them in the mutants.txt format, --list): some faults only show as a read
out of bounds or as more work than the work-counter test allows.

Prints one line per mutant and, at the end, the score and the survivors.
Exit status 0 when every listed mutant applied, 1 otherwise.
"""

import argparse
import filecmp
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# The test programs run for every mutant, and the tool's, run only for
# mutants of the tool (everything they need is rebuilt by these targets).
LIBRARY_TESTS = ["tests/spatialgeom_tests"]
TOOL_TESTS = ["tests/tool_tests/spatialgeom_tool_tests"]
TEST_SECONDS = 120


class Mutant:
    def __init__(self, line_number, path, original, mutated):
        self.line_number = line_number
        self.path = path
        self.original = original
        self.mutated = mutated

    def __str__(self):
        return f"{self.path}: {self.original!r} -> {self.mutated!r}"


def read_mutants(list_path):
    """Entries "path | original | mutated"; "#" starts a comment line. In
    the snippets, \\n stands for a line break and \\| for a bar."""
    mutants = []
    with open(list_path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            fields = [p.strip().replace("\0", "|").replace("\\n", "\n")
                      for p in line.replace("\\|", "\0").split(" | ")]
            if len(fields) != 3:
                sys.exit(f"{list_path}:{number}: expected 'path | original | mutated'")
            mutants.append(Mutant(number, *fields))
    return mutants


def run(command, cwd, seconds=None):
    try:
        done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=seconds, text=True, errors="replace")
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired:
        return None, "timed out"


def run_sharded(program, cwd, shards):
    """Runs the program's tests split over shards processes at once, each
    stopping at its first failure, and all stopping when one fails or the
    time runs out. Returns the failed tests' names ("timed out" or the exit
    status when none is named), or "" when every test passed."""
    processes = []
    for index in range(shards):
        environment = dict(os.environ, GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(index))
        processes.append(subprocess.Popen([program, "--gtest_brief=1", "--gtest_fail_fast"], cwd=cwd,
                                          env=environment, stdout=subprocess.PIPE,
                                          stderr=subprocess.STDOUT, text=True, errors="replace",
                                          start_new_session=True))
    started = list(processes)
    deadline = time.monotonic() + TEST_SECONDS
    failure = ""
    while processes and not failure:
        for process in list(processes):
            if process.poll() is None:
                continue
            processes.remove(process)
            output = process.stdout.read()
            if process.returncode != 0:
                names = sorted({line.split("]", 1)[1].split("(")[0].strip()
                                for line in output.splitlines() if line.startswith("[  FAILED  ]")} - {""})
                failure = ", ".join(name for name in names if " test" not in name) or \
                    f"exit status {process.returncode}"
        if time.monotonic() > deadline:
            failure = "timed out"
        time.sleep(0.05)
    # A killed test may leave the programs it started (the tool, looping
    # under a mutant): stop each shard's whole process group.
    for process in started:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
    return failure


def sync_tree(destination):
    """Makes destination a copy of the working tree (without .git, builds
    and caches), copying only the files whose bytes differ: they get new
    times, so a kept build rebuilds exactly what changed, a file a mutant
    left behind included."""
    wanted = set()
    for folder, folders, files in os.walk(ROOT):
        folders[:] = [f for f in folders if f not in {".git", "__pycache__"} and not f.startswith("build")]
        for name in files:
            relative = os.path.relpath(os.path.join(folder, name), ROOT)
            wanted.add(relative)
            source, target = os.path.join(ROOT, relative), os.path.join(destination, relative)
            if not (os.path.isfile(target) and filecmp.cmp(source, target, shallow=False)):
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(source, target)
    for folder, _, files in os.walk(destination):
        for name in files:
            path = os.path.join(folder, name)
            if os.path.relpath(path, destination) not in wanted:
                os.remove(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", help="run the mutants whose path contains this")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--keep", help="work in this directory and keep it, reusing its build (default: a temporary one)")
    parser.add_argument("--list", default=os.path.join(HERE, "mutants.txt"))
    parser.add_argument("--sanitize", action="store_true",
                        help="build as the CI's sanitizer stage does (address and undefined-behaviour sanitizers, "
                             "work counters on), so that reads out of bounds and path-choice guards kill mutants")
    options = parser.parse_args()

    mutants = read_mutants(options.list)
    if options.only:
        mutants = [m for m in mutants if options.only in m.path]
    work = options.keep or tempfile.mkdtemp(prefix="spatialgeom-mutants-")
    tree = os.path.join(work, "tree")
    build = os.path.join(work, "build")
    sync_tree(tree)  # a kept directory's build is reused
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    generator = ["-G", "Ninja"] if shutil.which("ninja") else []
    flavour = ["-DSPATIALGEOM_SANITIZE=ON", "-DSPATIALGEOM_WORK_COUNTERS=ON"] if options.sanitize else []
    status, output = run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Release"] + flavour + generator +
                         launcher, work)
    if status != 0:
        sys.exit("configuring failed:\n" + output)

    def build_and_test(tool):
        targets = ["spatialgeom_tests"] + (["spatialgeom_tool", "spatialgeom_tool_tests"] if tool else [])
        status, output = run(["cmake", "--build", build, "-j", str(options.jobs), "--target"] + targets, work)
        if status != 0:
            return "stillborn", output
        for program in LIBRARY_TESTS + (TOOL_TESTS if tool else []):
            failed = run_sharded(os.path.join(build, program), build, options.jobs)
            if failed:
                return "killed", failed
        return "survived", ""

    verdict, output = build_and_test(tool=True)
    if verdict != "survived":
        sys.exit("the unmutated tree does not pass its tests:\n" + output)

    results = {"killed": [], "survived": [], "stillborn": [], "stale": []}
    for index, mutant in enumerate(mutants, 1):
        path = os.path.join(tree, mutant.path)
        started = time.monotonic()
        try:
            with open(path, encoding="utf-8") as f:
                source = f.read()
        except OSError:
            source = ""
        detail = ""
        if source.count(mutant.original) != 1:
            verdict = "stale"
        else:
            with open(path, "w", encoding="utf-8") as f:
                f.write(source.replace(mutant.original, mutant.mutated))
            try:
                verdict, detail = build_and_test(tool=mutant.path.startswith("tools/"))
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(source)
        results[verdict].append(mutant)
        killer = f"  <- {detail}" if verdict == "killed" else ""
        print(f"[{index}/{len(mutants)}] {verdict:9} {time.monotonic() - started:5.0f} s  {mutant}{killer}",
              flush=True)

    counted = len(results["killed"]) + len(results["survived"])
    score = 100.0 * len(results["killed"]) / counted if counted else 0.0
    print(f"\n{len(results['killed'])} of {counted} mutants killed ({score:.1f}%); "
          f"{len(results['stillborn'])} did not compile; {len(results['stale'])} stale")
    for name in ("survived", "stale"):
        if results[name]:
            print(f"\n{name}:")
            for mutant in results[name]:
                print(f"  mutants.txt:{mutant.line_number}  {mutant}")
    if not options.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if results["stale"] else 0


if __name__ == "__main__":
    sys.exit(main())

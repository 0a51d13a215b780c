"""Timing helpers shared by the Python parts of the bench/*_compare.sh scripts."""
import json
import resource
import subprocess
import time


def timed(cmd, runs, stdout=None):
    """Median wall and median CPU (user + system) milliseconds of a command over
    `runs` runs, or None when it fails."""
    walls, cpus = [], []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        t = time.perf_counter()
        with open(stdout or "/dev/null", "wb") as out:
            r = subprocess.run(cmd, stdout=out, stderr=subprocess.DEVNULL)
        walls.append((time.perf_counter() - t) * 1000)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if r.returncode != 0:
            return None
        cpus.append(((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)) * 1000)
    return sorted(walls)[len(walls) // 2], sorted(cpus)[len(cpus) // 2]


def cpu(cmd, runs):
    """Median CPU milliseconds of a command (it must succeed)."""
    result = timed(cmd, runs)
    if result is None:
        raise subprocess.CalledProcessError(1, cmd)
    return result[1]


def medians(path):
    """A Google Benchmark JSON file's median aggregates by run name."""
    return {b["run_name"]: b for b in json.load(open(path))["benchmarks"] if b.get("aggregate_name") == "median"}


def ms(benchmark, key="cpu_time"):
    """A benchmark's time in milliseconds, whatever its unit."""
    return benchmark[key] * {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[benchmark["time_unit"]]


def ratio(ours, theirs):
    """ours / theirs with two decimals, n/a when either is missing."""
    if ours is None or theirs is None or theirs <= 0:
        return "n/a"
    return f"{ours / theirs:.2f}"

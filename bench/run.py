#!/usr/bin/env python3
"""The benchmark suite: how close the tools come to a loop that only transcodes.

usage: bench/run.py [--sizes 10,100,1024] [--quick]

Builds the release programs and the reference loop, writes the generated inputs to a temporary
folder (removed at the end), and prints one table:

  wall time    whole-process time of each tool over the minimal loop on the same bytes, runs
               paired and alternating, median of the per-pair ratios; cat of the bytes alongside
  instructions callgrind's count per input byte (10 MB inputs)
  peak memory  /usr/bin/time's maximum resident set
  start-up     hyperfine's mean on a 10-line list, minus that of `true`

Every tool writes to /dev/null (tunehdr's mus_def.h is a link to it); renumbering is on.
Needs python3, cmake, valgrind, hyperfine and /usr/bin/time (Debian: valgrind hyperfine time).
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUDGET = {  # figure: (tunelist, tunehdr)
    "ratio": (1.8, 3.5),
    "instructions": (3.5, 6.0),
    "memory_mib": (4.0, 4.0),
    "startup_ms": (0.5, 0.5),
}


def sh(args, **kw):
    return subprocess.run(args, check=True, **kw)


def build():
    build_dir = os.path.join(ROOT, "build")
    sh(["cmake", "--preset", "default"], cwd=ROOT, stdout=subprocess.DEVNULL)
    sh(["cmake", "--build", build_dir, "-j", "--target", "tunelist", "tunehdr", "minimal_loop"],
       cwd=ROOT, stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "bin")


class workload:
    """One tool on one input size: its command, the reference loop's, and cat's, on the same bytes."""

    def __init__(self, tool, folder, bin_dir):
        self.tool = tool
        if tool == "tunelist":
            self.cwd = os.path.join(folder, "list")
            fragments = sorted(f for f in os.listdir(self.cwd) if f.startswith("frag_"))
            inputs = ["songs.def"] + fragments
            self.command = [os.path.join(bin_dir, "tunelist"), "songs.def", "/dev/null", "renumber"]
        else:
            self.cwd = folder
            inputs = ["songs.ini"]
            link = os.path.join(folder, "mus_def.h")
            if not os.path.islink(link):
                os.symlink("/dev/null", link)
            self.command = [os.path.join(bin_dir, "tunehdr"), "songs.ini"]
        self.minimal = [os.path.join(bin_dir, "minimal_loop")] + inputs + ["/dev/null"]
        self.cat = ["cat"] + inputs
        self.bytes = sum(os.path.getsize(os.path.join(self.cwd, f)) for f in inputs)

    def run(self, command):
        start = time.perf_counter()
        subprocess.run(command, cwd=self.cwd, check=True, stdout=subprocess.DEVNULL)
        return time.perf_counter() - start


def paired_ratio(w, pairs):
    """Runs the minimal loop and the tool in turn; the median of tool/minimal per pair."""
    w.run(w.minimal)
    w.run(w.command)  # warm the page cache and the binaries
    ratios, tool_times, minimal_times = [], [], []
    for i in range(pairs):
        order = [(w.minimal, minimal_times), (w.command, tool_times)]
        if i % 2:
            order.reverse()
        for command, times in order:
            times.append(w.run(command))
        ratios.append(tool_times[-1] / minimal_times[-1])
    cat_times = [w.run(w.cat) for _ in range(max(3, pairs // 2))]
    return {
        "ratio": statistics.median(ratios),
        "tool_s": statistics.median(tool_times),
        "minimal_s": statistics.median(minimal_times),
        "cat_s": statistics.median(cat_times),
    }


def instructions_per_byte(w):
    out = tempfile.NamedTemporaryFile(prefix="callgrind-", delete=False).name
    result = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out] + w.command,
                            cwd=w.cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            text=True)
    os.unlink(out)
    for line in result.stderr.splitlines():
        if "Collected :" in line:
            return int(line.split(":")[-1].strip()) / w.bytes
    raise RuntimeError("no count from callgrind")


def peak_mib(w):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + w.command, cwd=w.cwd, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1]) / 1024


def startup_ms(folder, bin_dir):
    small = os.path.join(folder, "small")
    os.makedirs(small, exist_ok=True)
    shutil.copy(os.path.join(folder, "small.def"), small)
    shutil.copy(os.path.join(folder, "small.txt"), small)
    with open(os.path.join(small, "small.ini"), "wb") as f:
        f.write(b"; small\r\n;#define BANK 1\r\ns001=title,1\r\ns002=field,1\r\ns003=town,1\r\n"
                b"s004=battle,1\r\ns005=se_jump,2\r\n; a\r\n; b\r\n; c\r\n")
    link = os.path.join(small, "mus_def.h")
    if not os.path.islink(link):
        os.symlink("/dev/null", link)
    report = os.path.join(small, "hyperfine.json")
    sh(["hyperfine", "-N", "--warmup", "50", "--runs", "1000", "--export-json", report,
        "true",
        os.path.join(bin_dir, "tunelist") + " small.def /dev/null renumber",
        os.path.join(bin_dir, "tunehdr") + " small.ini"],
       cwd=small, stdout=subprocess.DEVNULL)
    with open(report) as f:
        means = [r["mean"] for r in json.load(f)["results"]]
    return (means[1] - means[0]) * 1000, (means[2] - means[0]) * 1000, means[0] * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sizes", default="10,100,1024", help="input sizes in MB")
    parser.add_argument("--quick", action="store_true", help="fewer timing pairs")
    args = parser.parse_args()
    sizes = [int(s) for s in args.sizes.split(",")]
    for tool in ("valgrind", "hyperfine"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing (Debian: apt-get install {tool})")
    bin_dir = build()
    rows = []
    with tempfile.TemporaryDirectory(prefix="tunetools-bench-") as scratch:
        for size in sizes:
            folder = os.path.join(scratch, f"{size}mb")
            sh([sys.executable, os.path.join(ROOT, "bench", "generate.py"), folder, str(size)])
            for tool in ("tunelist", "tunehdr"):
                w = workload(tool, folder, bin_dir)
                pairs = 3 if args.quick else (15 if size <= 10 else 9 if size <= 100 else 5)
                timing = paired_ratio(w, pairs)
                row = {"tool": tool, "size_mb": size, "bytes": w.bytes, **timing,
                       "peak_mib": peak_mib(w)}
                if size == min(sizes):
                    row["instructions"] = instructions_per_byte(w)
                rows.append(row)
                print(f"  {tool:8} {size:5} MB  {timing['tool_s']*1000:9.1f} ms  "
                      f"ratio {timing['ratio']:.2f}", file=sys.stderr)
            if size != min(sizes):
                shutil.rmtree(folder, ignore_errors=True)  # the smallest stays for start-up
        smallest = os.path.join(scratch, f"{min(sizes)}mb")
        list_startup, header_startup, true_ms = startup_ms(smallest, bin_dir)

    print(f"\n| tool | input | wall time | minimal loop | ratio (budget) | cat | peak memory "
          f"| instructions/byte (budget) |")
    print("|---|---|---|---|---|---|---|---|")
    worst = {}
    for r in rows:
        i = 0 if r["tool"] == "tunelist" else 1
        instr = (f"{r['instructions']:.2f} ({BUDGET['instructions'][i]})"
                 if "instructions" in r else "")
        print(f"| {r['tool']} | {r['size_mb']} MB | {r['tool_s']*1000:.1f} ms | "
              f"{r['minimal_s']*1000:.1f} ms | {r['ratio']:.2f} ({BUDGET['ratio'][i]}) | "
              f"{r['cat_s']*1000:.1f} ms | {r['peak_mib']:.1f} MiB | {instr} |")
        worst.setdefault(r["tool"], []).append(r)
    print(f"\nstart-up on a 10-line list, over `true` ({true_ms:.2f} ms): "
          f"tunelist {list_startup:+.2f} ms, tunehdr {header_startup:+.2f} ms (budget 0.5 ms)")

    over = []
    for tool, i in (("tunelist", 0), ("tunehdr", 1)):
        for r in worst[tool]:
            if r["ratio"] > BUDGET["ratio"][i]:
                over.append(f"{tool} {r['size_mb']} MB ratio {r['ratio']:.2f}")
            if r["peak_mib"] > BUDGET["memory_mib"][i]:
                over.append(f"{tool} {r['size_mb']} MB memory {r['peak_mib']:.1f} MiB")
            if "instructions" in r and r["instructions"] > BUDGET["instructions"][i]:
                over.append(f"{tool} instructions {r['instructions']:.2f}/byte")
    for name, value in (("tunelist", list_startup), ("tunehdr", header_startup)):
        if value > BUDGET["startup_ms"][0]:
            over.append(f"{name} start-up {value:.2f} ms")
    print("\nover budget: " + ("; ".join(over) if over else "nothing"))
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())

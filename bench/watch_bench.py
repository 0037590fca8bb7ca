#!/usr/bin/python3
"""Figures of the resident Glyphwarden on Linux.

  reaction  from a completed write of the watched file (1 MiB) to the line
            "「…」をフォントへリンクしました。" in the run log, median of many
            rounds; goal at most 5 ms. Two ways of writing: renamed into place
            (the way an atomic copy such as Glyphfetch's lands) and rewritten
            in place (one round per second, since the file time is whole
            seconds).
  idle      system calls returned while nothing is written, goal none in 60 s:
            the process's scheduling and I/O counters in /proc over the whole
            window (a process that makes any system call must run, and running
            moves these counters), then strace attached for a second window.
  memory    peak resident memory of the watcher (VmHWM); goal at most 4 MiB.

Usage: bench/watch_bench.py [--bin-dir build/linux] [--rounds 200] [--idle-seconds 60]
"""

import argparse
import ctypes
import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "e2e"))
from harness import CP932, LinuxHost, Workspace, wait_until_watching  # noqa: E402

TOOL = "Glyphwarden"
IN_MODIFY = 0x2
IN_NONBLOCK = 0o4000


class LogFollower:
    """Sleeps on inotify until the run log grows, and reads what was added."""

    def __init__(self, path):
        self.libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = self.libc.inotify_init1(IN_NONBLOCK)
        if self.fd < 0 or self.libc.inotify_add_watch(self.fd, bytes(path), IN_MODIFY) < 0:
            raise OSError(ctypes.get_errno(), "inotify on the run log")
        self.log = open(path, "rb")
        self.log.seek(0, os.SEEK_END)

    def wait_for(self, text, timeout=10):
        wanted = text.encode(CP932)
        seen = b""
        deadline = time.perf_counter() + timeout
        while wanted not in seen:
            seen += self.log.read()
            if wanted in seen:
                break
            left = deadline - time.perf_counter()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise TimeoutError(f"no {text!r} in the run log: {seen.decode(CP932, 'replace')}")
            os.read(self.fd, 4096)
        return time.perf_counter()


def proc_counters(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    stat = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    io = Path(f"/proc/{pid}/io").read_text()
    counters = {name: int(re.search(rf"^{name}:\s+(\d+)", status, re.M).group(1))
                for name in ("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")}
    counters["cpu_ticks"] = int(stat[11]) + int(stat[12])  # utime + stime
    for name in ("syscr", "syscw"):
        counters[name] = int(re.search(rf"^{name}: (\d+)", io, re.M).group(1))
    return counters


def memory_kib(pid, field):
    status = Path(f"/proc/{pid}/status").read_text()
    return int(re.search(rf"^{field}:\s+(\d+) kB", status, re.M).group(1))


def strace_returns(pid, seconds):
    """System calls that returned while strace was attached, and what it saw."""
    trace = Path(tempfile.mktemp(prefix="glyph-strace-"))
    tracer = subprocess.Popen(["strace", "-f", "-qq", "-p", str(pid), "-o", str(trace)],
                              stderr=subprocess.DEVNULL)
    time.sleep(seconds)
    tracer.send_signal(signal.SIGINT)
    tracer.wait(timeout=30)
    lines = trace.read_text().splitlines()
    trace.unlink()
    # Being attached interrupts the sleeping call once; strace shows it
    # resuming. Anything else that returned is a system call of the idle tool.
    returned = [line for line in lines
                if re.search(r"\) += ", line) and "resuming interrupted" not in line]
    return returned, lines


def reaction_rounds(ws, watched, follower, linked, rounds, size, t0):
    incoming = ws.root / "incoming.tte"
    renamed = []
    for i in range(rounds):
        incoming.write_bytes(os.urandom(size))
        os.utime(incoming, (t0 + i + 1, t0 + i + 1))
        start = time.perf_counter()
        os.replace(incoming, watched)
        renamed.append(follower.wait_for(linked) - start)
    return renamed


def in_place_rounds(watched, follower, linked, rounds, size):
    written = []
    for _ in range(rounds):
        # A new whole second, so the rewrite gives the file a new time.
        time.sleep(1.05 - time.time() % 1)
        content = os.urandom(size)
        with open(watched, "r+b") as font:
            font.write(content)
            font.truncate()
        start = time.perf_counter()
        written.append(follower.wait_for(linked) - start)
    return written


def describe(name, seconds):
    ms = sorted(s * 1000 for s in seconds)
    print(f"reaction, {name}: median {statistics.median(ms):.2f} ms over {len(ms)} rounds "
          f"(min {ms[0]:.2f}, 90th pct {ms[int(len(ms) * 0.9) - 1]:.2f}, max {ms[-1]:.2f})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", default=str(SOURCE_DIR / "build" / "linux"))
    parser.add_argument("--rounds", type=int, default=200)
    parser.add_argument("--in-place-rounds", type=int, default=10)
    parser.add_argument("--idle-seconds", type=float, default=60)
    parser.add_argument("--size", type=int, default=1 << 20)
    args = parser.parse_args()

    root = Path(tempfile.mkdtemp(prefix="glyph-bench-"))
    process = None
    try:
        host = LinuxHost(args.bin_dir)
        ws = Workspace(host, root)
        host.create_eudc_key()
        folder = root / "eudc"
        folder.mkdir()
        watched = folder / "EUDC.TTE"
        t0 = int(time.time()) - 10 * 86400
        watched.write_bytes(os.urandom(args.size))
        os.utime(watched, (t0, t0))
        ws.write_ini(TOOL, {"WatchEudcTTE": str(watched), "TargetEudcFont": "EUDC.TTE"})

        process = ws.start(TOOL)
        wait_until_watching(host, process, folder)
        follower = LogFollower(ws.log_path(TOOL))
        linked = f"「{host.fonts_folder() / 'EUDC.TTE'}」をフォントへリンクしました。"
        print(f"watched file {args.size} bytes; run folder {root} ({os.statvfs(root).f_bsize} "
              f"byte blocks)")

        describe("renamed into place",
                 reaction_rounds(ws, watched, follower, linked, args.rounds, args.size, t0))
        describe("rewritten in place",
                 in_place_rounds(watched, follower, linked, args.in_place_rounds, args.size))

        time.sleep(0.5)
        before = proc_counters(process.pid)
        time.sleep(args.idle_seconds)
        after = proc_counters(process.pid)
        moved = {k: after[k] - before[k] for k in before if after[k] != before[k]}
        blocked_in = Path(f"/proc/{process.pid}/wchan").read_text() or "?"
        print(f"idle, /proc counters over {args.idle_seconds:g} s: "
              f"{'unchanged' if not moved else moved} (sleeping in {blocked_in})")
        if shutil.which("strace"):
            returned, _ = strace_returns(process.pid, args.idle_seconds)
            print(f"idle, strace over {args.idle_seconds:g} s: {len(returned)} system calls "
                  f"returned{': ' + '; '.join(returned[:5]) if returned else ''}")
        else:
            print("idle, strace: not installed (scripts/install-deps.sh installs it)")

        print(f"memory: VmHWM {memory_kib(process.pid, 'VmHWM')} KiB peak resident, "
              f"VmRSS {memory_kib(process.pid, 'VmRSS')} KiB now")
    finally:
        if process is not None:
            process.kill()
            process.communicate(timeout=20)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Fetch and install a 64 MiB file from an FTP server on loopback: Glyphfetch
against the curl command-line tool (active mode) followed by cp, pair by pair.

Prints each pair's times and peak resident memory, then the median ratio
Glyphfetch / (curl + cp); the goal is a ratio of at most 1.0.

    sudo bench/fetch_bench.py [--pairs 7] [--size-mib 64] [--bin build/linux]

Needs root: the fetch tool always connects to port 21.
"""

import argparse
import os
import secrets
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
ADDRESS = "127.0.0.3"
USER = "bench"


def timed(command, cwd=None, stdin=None):
    """Runs command; returns (seconds, peak resident KiB).

    The memory comes from GNU time: a child forked from this Python process
    would start out counting Python's own resident size.
    """
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-o", peak.name, "-f", "%M"] + command,
                                cwd=cwd, input=stdin.encode() if stdin else None,
                                stdout=subprocess.DEVNULL)
        seconds = time.perf_counter() - start
        if result.returncode != 0:
            sys.exit(f"{command[0]} failed with {result.returncode}")
        return seconds, int(peak.read().split()[-1])


def wait_for_server(seconds=10):
    import socket
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            socket.create_connection((ADDRESS, 21), timeout=1).close()
            return
        except OSError:
            time.sleep(0.1)
    sys.exit("the FTP server did not start")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pairs", type=int, default=7)
    parser.add_argument("--size-mib", type=int, default=64)
    parser.add_argument("--bin", default=str(REPO / "build" / "linux"))
    args = parser.parse_args()
    if os.geteuid() != 0:
        sys.exit("run as root: the fetch tool uses port 21")
    if not shutil.which("curl"):
        sys.exit("curl is not installed (scripts/install-deps.sh installs it)")

    with tempfile.TemporaryDirectory(prefix="glyph-bench-") as tmp:
        root = Path(tmp)
        (root / "ftp").mkdir()
        remote = root / "ftp" / "master.bin"
        with open(remote, "wb") as out:
            for _ in range(args.size_mib):
                out.write(os.urandom(1 << 20))
        password = secrets.token_hex(8)

        server = subprocess.Popen(
            ["/usr/bin/python3", str(REPO / "tests" / "e2e" / "ftpserver.py"),
             "--address", ADDRESS, "--root", str(root / "ftp"), "--user", USER],
            env=dict(os.environ, FTP_PASSWORD=password),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wait_for_server()
            run(args, root, remote, password)
        finally:
            server.terminate()
            server.wait(10)


def run(args, root, remote, password):
    bin_dir = root / "bin"
    bin_dir.mkdir()
    shutil.copy2(Path(args.bin) / "Glyphfetch", bin_dir)
    fetch_local = root / "fetch-local.bin"
    (bin_dir / "Glyphfetch.ini").write_bytes(
        (f"[Settings]\r\nFtpAddress={ADDRESS}\r\nFtpUserID={USER}\r\nFtpPassword={password}\r\n"
         f"FtpFileName=master.bin\r\nLocalFileName={fetch_local}\r\n").encode())
    curl_tmp, curl_local = root / "curl.tmp", root / "curl-local.bin"
    # The account goes to curl on standard input, not on its command line.
    curl_config = f'user = "{USER}:{password}"\n'
    curl = ["curl", "-K", "-", "-s", "-S", "-P", "-", "-o", str(curl_tmp),
            f"ftp://{ADDRESS}/master.bin"]

    print(f"{args.size_mib} MiB, {args.pairs} pairs (seconds, peak RSS KiB)")
    print(f"{'pair':>4} {'Glyphfetch':>10} {'curl+cp':>8} {'ratio':>6} {'fetch RSS':>10} "
          f"{'curl RSS':>9}")
    ratios, fetch_rss, curl_rss = [], [], []
    for pair in range(1, args.pairs + 1):
        fetch_s, fetch_kib = timed([str(bin_dir / "Glyphfetch")], cwd=root)
        download_s, download_kib = timed(curl, stdin=curl_config)
        copy_s, _ = timed(["cp", str(curl_tmp), str(curl_local)])
        for produced in (fetch_local, curl_local):
            if produced.stat().st_size != remote.stat().st_size:
                sys.exit(f"{produced} is incomplete")
        ratio = fetch_s / (download_s + copy_s)
        ratios.append(ratio)
        fetch_rss.append(fetch_kib)
        curl_rss.append(download_kib)
        print(f"{pair:>4} {fetch_s:>10.3f} {download_s + copy_s:>8.3f} {ratio:>6.2f} "
              f"{fetch_kib:>10} {download_kib:>9}")
    print(f"median ratio Glyphfetch / (curl + cp): {statistics.median(ratios):.2f} (goal <= 1.0)")
    print(f"peak RSS KiB: Glyphfetch {max(fetch_rss)}, curl {max(curl_rss)}")


if __name__ == "__main__":
    main()

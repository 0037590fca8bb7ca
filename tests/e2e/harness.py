"""Runs the real executables in throw-away folders, for the end-to-end tests.

One scenario runs on either host: "linux" (the native build, with its
stand-in folder for the Windows directory and registry) or "wine" (the
Windows build under Wine). GLYPH_E2E_HOST picks the host and GLYPH_BIN_DIR
the folder holding the executables.
"""

import atexit
import errno
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

CP932 = "cp932"
SOURCE_DIR = Path(__file__).resolve().parents[2]


def decode_line(data):
    """A run-log line as text. A Linux path in it is UTF-8, not code page 932:
    its bytes still decode, the same bytes always to the same text."""
    return data.decode(CP932, "surrogateescape")


class LinuxHost:
    name = "linux"
    sep = "/"
    exe_suffix = ""
    # Each host serves FTP on loopback addresses of its own (port 21), so
    # runs on both hosts at once never meet; nothing listens on the second.
    ftp_address = "127.0.0.10"
    silent_address = "127.0.0.11"
    # inotify reports a file renamed into the folder and a changed file time.
    renames_and_times_wake = True

    def __init__(self, bin_dir):
        self.bin_dir = Path(bin_dir)

    def prepare(self, root):
        """Makes a fresh stand-in folder under root."""
        self.prefix = root / "prefix"
        (self.prefix / "windows" / "Fonts").mkdir(parents=True)
        self.env = dict(os.environ, GLYPH_PREFIX=str(self.prefix))

    def tool_path(self, path):
        """A path on this machine as the tool spells it."""
        return str(path)

    def path_bytes(self, path):
        """A path as a settings value: the file system's own bytes."""
        return os.fsencode(self.tool_path(path))

    def command(self, exe):
        return [str(exe)]

    def fonts_folder(self):
        return self.prefix / "windows" / "Fonts"

    def fonts_tool_path(self, name):
        """A file of the fonts folder as the watch tool names it."""
        return str(self.fonts_folder() / name)

    def key_folder(self):
        return self.prefix / "registry" / "HKEY_CURRENT_USER" / "EUDC" / "932"

    def create_eudc_key(self):
        """Creates the key EUDC\\932 the way a user does."""
        subprocess.run([str(SOURCE_DIR / "scripts" / "glyph-prefix"), "init"], env=self.env,
                       check=True, stdout=subprocess.DEVNULL, timeout=30)

    def eudc_key_exists(self):
        return self.key_folder().is_dir()

    def link_value(self, name="SystemDefaultEUDCFont"):
        """The string of a value of EUDC\\932; None when there is none."""
        path = self.key_folder() / name
        return os.fsdecode(path.read_bytes()) if path.exists() else None

    def eudc_switch_history(self):
        """Every switching of EUDC support so far: "on" or "off", oldest first."""
        path = self.prefix / "eudc-switch.log"
        return path.read_text().split() if path.exists() else []

    def watch_holders(self, process):
        """The processes whose inotify watches serve the tool's folder watch."""
        return [process.pid]

    def system_text(self, error):
        """The run-log lines of the system's text for an errno."""
        return [os.strerror(error)]


WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


class WinePrefix:
    """The one throw-away Wine prefix of a test run.

    Making a prefix takes seconds, so every test shares it; each test
    resets what it relies on (the EUDC key) and uses names of its own.
    """

    _shared = None

    @classmethod
    def shared(cls):
        if cls._shared is None:
            cls._shared = cls()
        return cls._shared

    def __init__(self):
        self.path = Path(tempfile.mkdtemp(prefix="glyph-wine-"))
        # A Japanese locale gives the prefix code page 932; no display and
        # no add-on downloads keep it headless.
        self.env = dict(os.environ, WINEPREFIX=str(self.path), WINEDEBUG="-all",
                        LC_ALL="ja_JP.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)
        atexit.register(self.remove)
        # A server that stays up saves seconds on every start of a tool.
        subprocess.run([WINESERVER, "-p"], env=self.env, timeout=60, check=True)
        self.wine("wineboot", "-i", timeout=300)

    def wine(self, *args, timeout=60, check=True):
        # Output goes through files: Wine's own background processes keep
        # any pipe open, and reading a pipe to its end would never finish.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([WINE, *args], env=self.env, timeout=timeout, check=check,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
        return result

    def remove(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, timeout=60, check=False)
        shutil.rmtree(self.path, ignore_errors=True)


class WineHost:
    """The Windows build under Wine, in the run's shared prefix."""

    name = "wine"
    sep = "\\"
    exe_suffix = ".exe"
    ftp_address = "127.0.0.21"
    silent_address = "127.0.0.22"
    # Wine signals a last-write change only for data written to a file.
    renames_and_times_wake = False
    eudc_key = "HKCU\\EUDC\\932"
    # The Japanese texts of the errors the scenarios meet, by errno.
    _system_texts = {errno.ENOENT: "パスが見つかりません。",
                     errno.ENOSPC: "ディスクがいっぱいです。"}

    def __init__(self, bin_dir):
        self.bin_dir = Path(bin_dir)

    def prepare(self, root):
        self.prefix = WinePrefix.shared()
        self.env = self.prefix.env
        self.prefix.wine("reg", "delete", self.eudc_key, "/f", check=False)

    def tool_path(self, path):
        """The Unix file system is drive Z: in Wine."""
        return "Z:" + str(path).replace("/", "\\")

    def path_bytes(self, path):
        """A path as a settings value: code page 932, as the ANSI functions take it."""
        return self.tool_path(path).encode(CP932)

    def command(self, exe):
        return [WINE, str(exe)]

    def fonts_folder(self):
        return self.prefix.path / "drive_c" / "windows" / "Fonts"

    def fonts_tool_path(self, name):
        """A file of the fonts folder as the watch tool names it."""
        return "C:\\windows\\Fonts\\" + name

    def create_eudc_key(self):
        self.prefix.wine("reg", "add", self.eudc_key, "/f")

    def eudc_key_exists(self):
        return self.prefix.wine("reg", "query", self.eudc_key, check=False).returncode == 0

    def link_value(self, name="SystemDefaultEUDCFont"):
        """The string data of value name under the EUDC key; None when absent."""
        result = self.prefix.wine("reg", "query", self.eudc_key, "/v", name, check=False)
        for line in result.stdout.decode(CP932).splitlines():
            parts = line.strip().split("    ")
            if len(parts) >= 2 and parts[0] == name and parts[1] == "REG_SZ":
                return parts[2] if len(parts) > 2 else ""
        return None

    def eudc_switch_history(self):
        """Wine keeps no record of switching EUDC support."""
        return None

    def watch_holders(self, process):
        """Wine's server holds the inotify watches of every Wine process."""
        holders = []
        for comm in Path("/proc").glob("[0-9]*/comm"):
            try:
                if comm.read_text().startswith("wineserver"):
                    holders.append(int(comm.parent.name))
            except OSError:
                pass
        return holders

    def system_text(self, error):
        """The run-log lines of the system's text for an errno. The text ends
        in CR LF and the log adds its own line end: "\\r\\r\\n", then an empty line."""
        return [self._system_texts[error] + "\r", ""]


class Workspace:
    """A folder holding the executables (bin/) and the current directory (run/)."""

    def __init__(self, host, root):
        self.host = host
        self.root = Path(root)
        self.bin = self.root / "bin"
        self.run_dir = self.root / "run"
        self.bin.mkdir()
        self.run_dir.mkdir()
        host.prepare(self.root)

    def exe(self, tool):
        name = tool + self.host.exe_suffix
        target = self.bin / name
        if not target.exists():
            shutil.copy2(self.host.bin_dir / name, target)
        return target

    def ini_path(self, tool):
        return self.bin / (tool + ".ini")

    def write_ini(self, tool, settings, newline="\r\n"):
        """Writes [Settings] with the given keys: str values in code page 932,
        bytes values as they are."""
        lines = [b"[Settings]"] + [
            f"{k}=".encode(CP932) + (v if isinstance(v, bytes) else str(v).encode(CP932))
            for k, v in settings.items()]
        self.ini_path(tool).write_bytes(b"".join(line + newline.encode() for line in lines))

    def read_ini(self, tool):
        return self.ini_path(tool).read_bytes()

    def log_path(self, tool, number=0):
        return self.run_dir / f"{tool}_Log{number}.txt"

    def log_bytes(self, tool, number=0):
        return self.log_path(tool, number).read_bytes()

    def log_lines(self, tool, number=0):
        """The run log as text lines; every line must end in CR LF."""
        data = self.log_bytes(tool, number)
        assert data == b"" or data.endswith(b"\r\n"), data[-20:]
        return [decode_line(line) for line in data.split(b"\r\n")[:-1]]

    def run(self, tool, timeout=60, args=()):
        return subprocess.run(self.host.command(self.exe(tool)) + list(args),
                              cwd=self.run_dir, env=self.host.env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def start(self, tool, **popen_args):
        return subprocess.Popen(self.host.command(self.exe(tool)), cwd=self.run_dir,
                                env=self.host.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, **popen_args)

    def wait_for_log_line(self, tool, predicate, timeout=20, count=1):
        """Waits until count lines of the run log satisfy predicate; returns the lines."""
        deadline = time.monotonic() + timeout
        lines = []
        while time.monotonic() < deadline:
            if self.log_path(tool).exists():
                data = self.log_bytes(tool)
                lines = [decode_line(line) for line in data.split(b"\r\n")]
                if sum(1 for line in lines[:-1] if predicate(line)) >= count:
                    return lines[:-1]
            time.sleep(0.02)
        raise AssertionError(f"no such line in {tool} log within {timeout}s: {lines}")


def wait_until_watching(host, process, folder, timeout=20):
    """Waits until an inotify watch serves the tool's registration on folder."""
    stat = os.stat(folder)
    # fdinfo shows the device as the kernel numbers it: major above bit 20.
    device = (os.major(stat.st_dev) << 20) | os.minor(stat.st_dev)
    watch = re.compile(rf"^inotify wd:\w+ ino:{stat.st_ino:x} sdev:{device:x} ", re.M)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for pid in host.watch_holders(process):
            for info in Path(f"/proc/{pid}/fdinfo").glob("*"):
                try:
                    if watch.search(info.read_text()):
                        return
                except OSError:
                    pass
        if process.poll() is not None:
            raise AssertionError(f"ended with {process.returncode} before watching")
        time.sleep(0.02)
    raise AssertionError(f"no folder watch within {timeout}s")


def make_host():
    kind = os.environ.get("GLYPH_E2E_HOST", "linux")
    bin_dir = os.environ["GLYPH_BIN_DIR"]
    if kind == "linux":
        return LinuxHost(bin_dir)
    if kind == "wine":
        return WineHost(bin_dir)
    raise unittest.SkipTest(f"unknown host {kind}")


class ToolTestCase(unittest.TestCase):
    """Gives each test a fresh workspace on the selected host."""

    def setUp(self):
        self.host = make_host()
        self.tmp = tempfile.TemporaryDirectory(prefix="glyph-e2e-")
        self.addCleanup(self.tmp.cleanup)
        self.ws = Workspace(self.host, self.tmp.name)

"""The fetch tool against a loopback FTP server, as real executables."""

import tempfile
import unittest
from pathlib import Path

from ftp_server import FtpServer
from harness import ToolTestCase, make_host

# Each suite that serves FTP takes an address of its own on port 21.
SERVER = "127.0.0.21"
USER, PASSWORD = "eudc", "s3cret"
# A font file is binary: line ends, NUL and bytes above 0x7F must arrive as
# they are.
REMOTE_BYTES = b"TTE\x00\r\n\n\r\x1a\x81\x5c\xff" * 300

DOWNLOADED = "ＦＴＰ受信完了しました。"
COPIED = "指定ファイルへコピー完了しました。"
FTP_ERROR = "ＦＴＰエラー"
COPY_FAILED = "指定ファイルへのコピーに失敗しました。"


def setUpModule():
    global server, served
    if "ftp" not in getattr(make_host(), "features", ()):
        raise unittest.SkipTest("no FTP client on this host")
    served = tempfile.TemporaryDirectory(prefix="glyph-ftp-")
    (Path(served.name) / "master").mkdir()
    (Path(served.name) / "master" / "EUDC.TTE").write_bytes(REMOTE_BYTES)
    server = FtpServer(SERVER, served.name, USER, PASSWORD).__enter__()


def tearDownModule():
    server.__exit__()
    served.cleanup()


class FetchTest(ToolTestCase):
    def setUp(self):
        super().setUp()
        self.local = self.ws.root / "local" / "EUDC.TTE"
        self.local.parent.mkdir()
        self.temporary = self.ws.bin / "Glyphfetch.tmp"

    def fetch(self, password=PASSWORD, remote="master/EUDC.TTE", local=None):
        self.ws.write_ini("Glyphfetch", {
            "FtpAddress": SERVER, "FtpUserID": USER, "FtpPassword": password,
            "FtpFileName": remote, "LocalFileName": self.host.tool_path(local or self.local)})
        result = self.ws.run("Glyphfetch", timeout=120)
        # No outcome of the download or the copy changes the exit status.
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = self.ws.log_lines("Glyphfetch")
        echo_end = lines.index("LocalFile = >" + self.host.tool_path(local or self.local) + "<")
        return lines[echo_end + 2:]

    def test_download_replaces_local_file_byte_for_byte(self):
        self.local.write_bytes(b"old font")
        self.temporary.write_bytes(b"left by an earlier run")
        self.assertEqual(self.fetch(), [DOWNLOADED, COPIED])
        self.assertEqual(self.temporary.read_bytes(), REMOTE_BYTES)
        self.assertEqual(self.local.read_bytes(), REMOTE_BYTES)

    def test_refused_login_and_missing_file_copy_nothing(self):
        cases = [("wrong password", {"password": "wrong"}),
                 ("missing remote file", {"remote": "master/NONE.TTE"})]
        for name, change in cases:
            with self.subTest(name):
                self.local.write_bytes(b"old font")
                self.temporary.write_bytes(b"left by an earlier run")
                lines = self.fetch(**change)
                self.assertEqual(lines[0], FTP_ERROR)
                self.assertNotIn(DOWNLOADED, lines)
                self.assertNotIn(COPIED, lines)
                self.assertEqual(self.local.read_bytes(), b"old font")

    def test_copy_into_missing_folder_reports_system_text(self):
        missing = self.ws.root / "nowhere" / "EUDC.TTE"
        lines = self.fetch(local=missing)
        self.assertEqual(lines[:2], [DOWNLOADED, COPY_FAILED])
        self.assertEqual(lines[2].rstrip("\r"), self.host.system_error_text("path_not_found"))
        # The download stays beside the executable for the next attempt.
        self.assertEqual(self.temporary.read_bytes(), REMOTE_BYTES)
        self.assertFalse(missing.parent.exists())


if __name__ == "__main__":
    unittest.main()

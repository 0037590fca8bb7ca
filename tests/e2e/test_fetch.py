"""The fetch tool against a real FTP server on a loopback address."""

import errno
import os
import re
import unittest
from pathlib import Path

from harness import ToolTestCase

try:
    from ftpserver import LoopbackFtpServer
except ImportError:  # pyftpdlib missing
    LoopbackFtpServer = None

USER = "eudc"
PASSWORD = "Pa55-word"

RECEIVED = "ＦＴＰ受信完了しました。"
COPIED = "指定ファイルへコピー完了しました。"
COPY_FAILED = "指定ファイルへのコピーに失敗しました。"
FTP_ERROR = "ＦＴＰエラー"

# Every byte value, with CR LF, lone LF and NUL runs that a text transfer would mangle.
BINARY = bytes(range(256)) + b"\r\n\n\r\x00\x00\r\n" * 64


@unittest.skipIf(os.geteuid() != 0, "the fetch tool uses port 21, which needs root")
@unittest.skipIf(LoopbackFtpServer is None, "pyftpdlib is not installed")
class FetchTest(ToolTestCase):
    def setUp(self):
        super().setUp()
        self.remote = self.ws.root / "remote"
        self.remote.mkdir()
        self.local = self.ws.root / "fonts" / "EUDC.TTE"
        self.local.parent.mkdir()
        self.temporary = self.ws.bin / "Glyphfetch.tmp"

    def serve(self, files, cut_after=None):
        for name, content in files.items():
            path = self.remote / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)
        server = LoopbackFtpServer(self.host.ftp_address, self.remote, USER, PASSWORD,
                                   cut_after).start()
        self.addCleanup(server.stop)
        return server

    def configure(self, remote_name, address=None, password=PASSWORD, local=None):
        self.ws.write_ini("Glyphfetch", {
            "FtpAddress": address or self.host.ftp_address, "FtpUserID": USER,
            "FtpPassword": password, "FtpFileName": remote_name,
            "LocalFileName": self.host.path_bytes(local or self.local)})

    def outcome(self):
        """The run log's lines after the settings echo; the password is in none."""
        self.assertNotIn(PASSWORD.encode(), self.ws.log_bytes("Glyphfetch"))
        lines = self.ws.log_lines("Glyphfetch")
        echo_end = next(i for i, line in enumerate(lines) if line.startswith("LocalFile = >"))
        self.assertEqual(lines[echo_end + 1], "")
        return lines[echo_end + 2:]

    def fetch(self, remote_name, **settings):
        self.configure(remote_name, **settings)
        result = self.ws.run("Glyphfetch", timeout=150)
        self.assertEqual(result.returncode, 0, result.stderr)
        return self.outcome()

    def bin_files(self):
        """What lies beside the executable, besides the executable."""
        exe = self.ws.exe("Glyphfetch").name
        return sorted(p.name for p in self.ws.bin.iterdir() if p.name != exe)

    def assertDescription(self, lines, by_host):
        """The description lines match this host's patterns, one each."""
        patterns = by_host[self.host.name]
        self.assertEqual(len(lines), len(patterns), lines)
        for line, pattern in zip(lines, patterns):
            self.assertTrue(re.fullmatch(pattern, line), (pattern, line))

    def test_each_run_downloads_in_binary_and_overwrites_both_files(self):
        # Later runs find the temporary and local files of the earlier ones.
        files = {"EUDC.TTE": BINARY, "外字/EUDC 1.TTE": b"second\r\n" * 1000, "empty.tte": b""}
        server = self.serve(files)
        for number, (name, content) in enumerate(files.items()):
            with self.subTest(name=name):
                self.assertEqual(self.fetch(name), [RECEIVED, COPIED])
                self.assertEqual(self.temporary.read_bytes(), content)
                self.assertEqual(self.local.read_bytes(), content)
                # One connection, one login, one binary RETR of the name as given,
                # the server connecting back (active mode).
                self.assertEqual(server.connections, number + 1)
                self.assertEqual(len(server.commands_named("USER")), number + 1)
                self.assertEqual(server.commands_named("RETR")[number:], [name])
        commands = {cmd for cmd, _ in server.commands}
        self.assertIn("PORT", commands)
        self.assertFalse(commands & {"PASV", "EPSV", "CWD", "LIST", "NLST", "TYPE A"})
        self.assertEqual(set(server.commands_named("TYPE")), {"I"})
        self.assertEqual(self.bin_files(), ["Glyphfetch.ini", "Glyphfetch.tmp"])

    def test_ftp_failures_copy_nothing(self):
        # The description lines (as patterns) per host: the Linux client's own
        # words or the server's reply; Windows' texts, which end in CR LF, or
        # none where its FTP client has no text for the error.
        cases = [  # name, settings, description per host
            ("wrong password", {"remote_name": "EUDC.TTE", "password": "wrong"},
             {"linux": ["530 .*"], "wine": []}),
            ("missing remote file", {"remote_name": "nothere.tte"},
             {"linux": ["550 .*"], "wine": ["550 .*"]}),
            ("folder as remote file", {"remote_name": "sub/"},
             {"linux": [".*folder.*"], "wine": ["550 .*"]}),
            ("unresolvable host", {"remote_name": "EUDC.TTE", "address": "nohost.invalid"},
             {"linux": [".*resolve.*"], "wine": ["サーバー名を解決できませんでした。\r", ""]}),
            ("nothing listening", {"remote_name": "EUDC.TTE", "address": self.host.silent_address},
             {"linux": [".*connect.*"], "wine": ["サーバーへの接続試行は失敗しました。\r", ""]}),
        ]
        self.serve({"EUDC.TTE": b"new font", "sub/x": b"x"})
        self.local.write_bytes(b"old font")
        # A failed download never costs the earlier good one.
        self.temporary.write_bytes(b"earlier download")
        for name, settings, description in cases:
            with self.subTest(name):
                lines = self.fetch(**settings)
                self.assertEqual(lines[0], FTP_ERROR)
                self.assertDescription(lines[1:], description)
                self.assertEqual(self.local.read_bytes(), b"old font")
                self.assertEqual(self.temporary.read_bytes(), b"earlier download")
                self.assertEqual(self.bin_files(), ["Glyphfetch.ini", "Glyphfetch.tmp"])

    def test_copy_into_missing_folder_reports_system_text(self):
        self.serve({"EUDC.TTE": BINARY})
        lines = self.fetch("EUDC.TTE", local=self.ws.root / "nowhere" / "EUDC.TTE")
        self.assertEqual(lines[:2], [RECEIVED, COPY_FAILED])
        text = [re.escape(line) for line in self.host.system_text(errno.ENOENT)]
        self.assertDescription(lines[2:], {self.host.name: text})
        # The download stays beside the executable.
        self.assertEqual(self.temporary.read_bytes(), BINARY)

    def test_server_dropping_mid_transfer_is_an_ftp_error(self):
        content = os.urandom(4 << 20)
        server = self.serve({"EUDC.TTE": content}, cut_after=1 << 20)
        self.local.write_bytes(b"old font")
        self.configure("EUDC.TTE")
        process = self.ws.start("Glyphfetch")
        self.addCleanup(process.kill)
        try:
            self.assertTrue(server.cut.wait(60), "the transfer never reached the cut")
            # Half-way through, the process shows the password to nobody.
            for view in ("cmdline", "environ"):
                self.assertNotIn(PASSWORD.encode(),
                                 Path(f"/proc/{process.pid}/{view}").read_bytes())
        finally:
            server.resume.set()
        process.communicate(timeout=150)
        self.assertEqual(process.returncode, 0)
        lines = self.outcome()
        self.assertEqual(lines[0], FTP_ERROR)
        # Windows' FTP client has no text for a transfer that broke off.
        self.assertDescription(lines[1:], {
            "linux": ["The transfer broke off after 1048576 bytes of 4194304"], "wine": []})
        self.assertEqual(self.local.read_bytes(), b"old font")
        # Nothing half-written is left beside the executable.
        self.assertEqual(self.bin_files(), ["Glyphfetch.ini"])


if __name__ == "__main__":
    unittest.main()

"""The resident watch tool: a write to the watched font installs it as the
live EUDC font; losing the file ends the watch."""

import os
import time
import unittest

from harness import ToolTestCase

TOOL = "Glyphwarden"
WATCH_START = "監視開始"
COPIED = "外字ファイルコピー完了"
WATCH_END = "監視異常終了！！！"
DEFAULT_LINK = "SystemDefaultEUDCFont"


class WatchTest(ToolTestCase):
    def setUp(self):
        super().setUp()
        if not {"watch", "registry"} <= set(getattr(self.host, "features", ())):
            self.skipTest(f"no watch or registry on host {self.host.name}")
        # 表 and ソ end in byte 0x5C in code page 932: the folder must not be
        # split there, and the bytes must reach the file system as the
        # characters they are.
        self.folder = self.ws.root / "外字表ソ"
        self.folder.mkdir()
        self.watched = self.folder / "EUDC.TTE"
        self.watched.write_bytes(b"first font")
        hour_ago = time.time() - 3600
        os.utime(self.watched, (hour_ago, hour_ago))
        # The fonts folder may outlive the test (a shared Wine prefix).
        self.target = "GLY" + os.path.basename(self.tmp.name)[-8:].upper() + ".TTE"
        self.addCleanup(lambda: (self.host.fonts_folder() / self.target).unlink(missing_ok=True))
        self.ws.write_ini(TOOL, {"WatchEudcTTE": self.host.tool_path(self.watched),
                                 "TargetEudcFont": self.target})
        self.target_path = self.host.fonts_tool_path(self.target)

    def start_watching(self):
        process = self.ws.start(TOOL)

        def stop():
            if process.poll() is None:
                process.kill()
            process.communicate(timeout=20)

        self.addCleanup(stop)
        self.ws.wait_for_log_line(TOOL, lambda line: line == WATCH_START)
        return process

    def poke_until(self, predicate, timeout=20):
        """Writes to another file of the watched folder until a log line
        satisfies predicate; returns the lines. The registration follows
        the start line by a moment, and a write before it wakes nothing."""
        deadline = time.monotonic() + timeout
        while True:
            with open(self.folder / "other.txt", "ab") as other:
                other.write(b"x")
            try:
                return self.ws.wait_for_log_line(TOOL, predicate, timeout=1)
            except AssertionError:
                if time.monotonic() > deadline:
                    raise

    def test_write_installs_font_and_losing_the_file_ends_watch(self):
        self.host.create_eudc_key()
        process = self.start_watching()
        self.watched.write_bytes(b"second font")
        linked = f"「{self.target_path}」をフォントへリンクしました。"
        lines = self.poke_until(lambda line: line == linked)
        at = lines.index(linked)
        self.assertRegex(lines[at - 3], r"^更新チェック Now=\d{8}_\d\d:\d\d:\d\d$")
        self.assertRegex(lines[at - 2],
                         r"^外字更新を確認 Save=\d{8}_\d\d:\d\d:\d\d Now=\d{8}_\d\d:\d\d:\d\d$")
        self.assertEqual(lines[at - 1], COPIED)
        installed = self.host.fonts_folder() / self.target
        self.assertEqual(installed.read_bytes(), b"second font")
        # A copy keeps the source's last-write time.
        self.assertEqual(int(installed.stat().st_mtime), int(self.watched.stat().st_mtime))
        self.assertEqual(self.host.read_link_value(DEFAULT_LINK), self.target_path)
        self.assertEqual(lines[4], "監視フォルダ　　：" + self.host.tool_path(self.folder))

        self.watched.unlink()
        self.poke_until(lambda line: line == WATCH_END)
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertEqual(self.ws.log_lines(TOOL)[-2:],
                         ["監視外字ファイル異常（ステータス取得不可）", WATCH_END])

    def test_missing_key_is_reported_and_font_still_copied(self):
        self.start_watching()
        self.watched.write_bytes(b"second font")
        failed = f"「{self.target_path}」フォントリンクに失敗しました（Error=-2）。"
        lines = self.poke_until(lambda line: line == failed)
        at = lines.index(failed)
        self.assertEqual(lines[at - 2:at], ["フォントリンク解除に失敗しました（Error=-2）。", COPIED])
        self.assertEqual((self.host.fonts_folder() / self.target).read_bytes(), b"second font")
        self.assertIsNone(self.host.read_link_value(DEFAULT_LINK))


if __name__ == "__main__":
    unittest.main()

"""Glyphwarden resident: real files, a real folder watch, the host's fonts
folder and EUDC key.

The watched file's times are whole seconds to the tool, so every test sets
them with os.utime instead of relying on the clock. The watched folder is
「外字表ソ」: 表 and ソ end in byte 0x5C in code page 932, so the folder must
not be split there, and its bytes must reach the file system as the
characters they are.
"""

import errno
import os
import resource
import signal
import subprocess
import time
import unittest

from harness import CP932, ToolTestCase, decode_line, wait_until_watching

TOOL = "Glyphwarden"
CHECK = "更新チェック"
START = "監視開始"
COPIED = "外字ファイルコピー完了"
STATUS_LOST = "監視外字ファイル異常（ステータス取得不可）"
WATCH_END = "監視異常終了！！！"


def stamp(seconds):
    """A file time as the run log shows it."""
    return time.strftime("%Y%m%d_%H:%M:%S", time.localtime(seconds))


def write_in_place(path, content):
    """Rewrites a file with one write and no truncation, so that every host
    sees one change: content must be at least as long as the file."""
    fd = os.open(path, os.O_WRONLY)
    try:
        os.write(fd, content)
    finally:
        os.close(fd)


class WatchTestCase(ToolTestCase):
    def setUp(self):
        super().setUp()
        self.folder = self.ws.root / "外字表ソ"
        (self.folder / "sub").mkdir(parents=True)
        self.watched = self.folder / "EUDC.TTE"
        self.t0 = int(time.time()) - 86400
        self.put_font(self.watched, b"font 0" * 1000, self.t0)
        # A name of the test's own: Wine's fonts folder serves every test.
        name = "GLY" + os.path.basename(self.tmp.name)[-8:].upper() + ".TTE"
        self.target = self.host.fonts_folder() / name
        self.addCleanup(self.target.unlink, missing_ok=True)
        self.target_name = self.host.fonts_tool_path(name)
        self.ws.write_ini(TOOL, {"WatchEudcTTE": self.host.path_bytes(self.watched),
                                 "TargetEudcFont": name})

    def put_font(self, path, content, seconds):
        path.write_bytes(content)
        os.utime(path, (seconds, seconds))

    def replace_by_rename(self, content, seconds):
        """Puts a new version in place in one step, as an atomic copy does."""
        incoming = self.ws.root / "incoming.tte"
        self.put_font(incoming, content, seconds)
        os.replace(incoming, self.watched)
        self.wake_for_rename_or_time()

    def set_time(self, seconds):
        os.utime(self.watched, (seconds, seconds))
        self.wake_for_rename_or_time()

    def wake_for_rename_or_time(self):
        if not self.host.renames_and_times_wake:
            self.poke()

    def poke(self, timeout=20):
        """Writes to another file of the watched folder until the watch wakes
        (a line is logged). A write while the tool is busy replacing wakes
        nothing on Wine, so it is written again after a pause."""
        before = len(self.ws.log_lines(TOOL))
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with open(self.folder / "other.txt", "ab") as other:
                other.write(b"x")
            pause = time.monotonic() + 5
            while time.monotonic() < min(pause, deadline):
                if len(self.ws.log_lines(TOOL)) > before:
                    return
                time.sleep(0.02)
        raise AssertionError(f"the watch did not wake within {timeout}s")

    def start_watch(self, **popen_args):
        process = self.ws.start(TOOL, **popen_args)

        def stop():
            if process.poll() is None:
                process.kill()
            process.communicate(timeout=20)
        self.addCleanup(stop)
        wait_until_watching(self.host, process, self.folder)
        return process

    def wait_for(self, text, count=1):
        return self.ws.wait_for_log_line(TOOL, lambda line: line.startswith(text), count=count)

    def watch_lines(self):
        lines = self.ws.log_lines(TOOL)
        return lines[lines.index(START) + 1:]

    def linked_line(self):
        return f"「{self.target_name}」をフォントへリンクしました。"

    def assertSwitchedTimes(self, count):
        """EUDC support went off and on again count times, where the host shows it."""
        history = self.host.eudc_switch_history()
        if history is not None:
            self.assertEqual(history, ["off", "on"] * count)


class WatchTest(WatchTestCase):
    def setUp(self):
        super().setUp()
        self.host.create_eudc_key()

    def test_every_new_version_is_installed(self):
        fonts_before = set(os.listdir(self.host.fonts_folder()))
        self.start_watch()
        # In place: the file is rewritten.
        write_in_place(self.watched, b"font 1" * 2000)
        t1 = int(self.watched.stat().st_mtime)
        self.wait_for(self.linked_line())
        self.assertEqual(self.watch_lines(), [
            f"{CHECK} Now={stamp(t1)}",
            f"外字更新を確認 Save={stamp(self.t0)} Now={stamp(t1)}",
            COPIED,
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 1" * 2000)
        self.assertEqual(self.host.link_value(), self.target_name)
        # Off before and on after each of the two link changes.
        self.assertSwitchedTimes(2)

        # By rename, with an older time than the one installed.
        t2 = self.t0 + 100
        self.replace_by_rename(b"font 2" * 3000, t2)
        self.wait_for(self.linked_line(), count=2)
        self.assertEqual(self.watch_lines()[4:], [
            f"{CHECK} Now={stamp(t2)}",
            f"外字更新を確認 Save={stamp(t1)} Now={stamp(t2)}",
            COPIED,
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 2" * 3000)
        # A copy keeps the source's last-write time.
        self.assertEqual(int(self.target.stat().st_mtime), t2)
        self.assertSwitchedTimes(4)
        self.assertEqual(set(os.listdir(self.host.fonts_folder())),
                         fonts_before | {self.target.name})
        log = self.ws.log_bytes(TOOL)
        # Code page 932 on disk: 外字 is 8A 4F 8E 9A.
        self.assertIn(b"\r\n\x8a\x4f\x8e\x9a", log)
        # The folder is the whole path up to the last separator, 0x5C bytes
        # inside characters included.
        folder = self.host.path_bytes(self.folder)
        self.assertIn("監視フォルダ　　：".encode(CP932) + folder + b"\r\n", log)

    def test_time_decides_backwards_is_a_change_same_second_is_not(self):
        self.start_watch()
        self.replace_by_rename(b"font 1" * 2000, self.t0 + 0.5)
        self.wait_for(CHECK)
        self.assertEqual(self.watch_lines(), [f"{CHECK} Now={stamp(self.t0)}"])

        older = self.t0 - 3600
        self.set_time(older)
        self.wait_for(self.linked_line())
        self.assertEqual(self.watch_lines()[1:], [
            f"{CHECK} Now={stamp(older)}",
            f"外字更新を確認 Save={stamp(self.t0)} Now={stamp(older)}",
            COPIED,
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 1" * 2000)

    def test_other_writes_check_only_and_a_deleted_file_ends_the_watch(self):
        process = self.start_watch()
        # A subfolder is not watched: only the write after it wakes the watch.
        (self.folder / "sub" / "EUDC.TTE").write_bytes(b"not watched")
        time.sleep(0.3)
        self.poke()
        self.assertEqual(self.watch_lines(), [f"{CHECK} Now={stamp(self.t0)}"])

        self.watched.unlink()
        self.poke()
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertEqual(self.watch_lines(), [
            f"{CHECK} Now={stamp(self.t0)}",
            STATUS_LOST,
            WATCH_END,
        ])
        self.assertFalse(self.target.exists())
        self.assertIsNone(self.host.link_value())
        self.assertSwitchedTimes(0)

    def test_file_without_folder_part_cannot_be_watched(self):
        # A bare name is found in the current directory, but an empty folder
        # name cannot be watched.
        (self.ws.run_dir / "EUDC.TTE").write_bytes(b"font")
        self.ws.write_ini(TOOL, {"WatchEudcTTE": "EUDC.TTE", "TargetEudcFont": "EUDC.TTE"})
        self.assertEqual(self.ws.run(TOOL, timeout=30).returncode, 0)
        self.assertEqual(self.watch_lines(), [
            "監視用ハンドラの登録に失敗（設定ファイルを確認）",
            WATCH_END,
        ])


class WatchWithoutKeyTest(WatchTestCase):
    def test_font_is_copied_and_both_link_changes_fail(self):
        self.start_watch()
        self.replace_by_rename(b"font 1", self.t0 + 1)
        lines = self.wait_for("「")
        self.assertEqual(self.watch_lines()[2:], [
            "フォントリンク解除に失敗しました（Error=-2）。",
            COPIED,
            f"「{self.target_name}」フォントリンクに失敗しました（Error=-2）。",
        ], lines)
        self.assertEqual(self.target.read_bytes(), b"font 1")
        # The tool opens the key but never creates it.
        self.assertFalse(self.host.eudc_key_exists())
        self.assertSwitchedTimes(2)


class InterruptedCopyTest(WatchTestCase):
    """A copy that cannot finish leaves the installed font as it was."""

    OLD = b"old font" * 40000  # 320 KB

    def setUp(self):
        super().setUp()
        self.host.create_eudc_key()
        self.target.write_bytes(self.OLD)

    def test_full_fonts_folder(self):
        fonts = self.host.fonts_folder()
        try:
            subprocess.run(["mount", "-t", "tmpfs", "-o", "size=512k", "glyph-fonts", str(fonts)],
                           check=True, capture_output=True, timeout=30)
        except (OSError, subprocess.SubprocessError) as error:
            raise unittest.SkipTest(f"cannot mount a small file system here: {error}")
        self.addCleanup(subprocess.run, ["umount", "-l", str(fonts)], timeout=30)
        self.target.write_bytes(self.OLD)
        self.start_watch()

        self.replace_by_rename(os.urandom(1 << 20), self.t0 + 1)
        self.wait_for(self.linked_line())
        failed = decode_line(
            "「".encode(CP932) + self.host.path_bytes(self.watched)
            + f"」から「{self.target_name}」へのコピーに失敗しました。".encode(CP932))
        self.assertEqual(self.watch_lines()[2:], [
            failed, *self.host.system_text(errno.ENOSPC), self.linked_line()])
        self.assertEqual(self.target.read_bytes(), self.OLD)
        self.assertEqual(os.listdir(fonts), [self.target.name])

    def test_watcher_killed_half_way_through_the_copy(self):
        limit = 256 * 1024

        def limit_file_size():
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
        fonts = self.host.fonts_folder()
        fonts_before = set(os.listdir(fonts))
        process = self.start_watch(preexec_fn=limit_file_size)

        self.replace_by_rename(os.urandom(1 << 20), self.t0 + 1)
        self.assertEqual(process.wait(timeout=20), -signal.SIGXFSZ)
        self.assertEqual(self.target.read_bytes(), self.OLD)
        # What it had written of the copy is in a file of its own.
        partial = [fonts / name for name in set(os.listdir(fonts)) - fonts_before]
        for path in partial:
            self.addCleanup(path.unlink)
        self.assertEqual([path.stat().st_size for path in partial], [limit])


if __name__ == "__main__":
    unittest.main()

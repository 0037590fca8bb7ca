"""Glyphwarden resident on Linux: real files, real inotify, a throw-away stand-in folder.

The watched file's times are whole seconds to the tool, so every test sets
them with os.utime instead of relying on the clock.
"""

import os
import resource
import signal
import subprocess
import time
import unittest

from harness import CP932, ToolTestCase

TOOL = "Glyphwarden"
CHECK = "更新チェック"
START = "監視開始"


def stamp(seconds):
    """A file time as the run log shows it."""
    return time.strftime("%Y%m%d_%H:%M:%S", time.localtime(seconds))


class WatchTestCase(ToolTestCase):
    def setUp(self):
        super().setUp()
        if self.host.name != "linux":
            raise unittest.SkipTest("drives the Linux stand-in folder")
        self.folder = self.ws.root / "eudc"
        (self.folder / "sub").mkdir(parents=True)
        self.watched = self.folder / "EUDC.TTE"
        self.t0 = int(time.time()) - 86400
        self.put_font(self.watched, b"font 0" * 1000, self.t0)
        self.target = self.host.fonts_folder() / "EUDC.TTE"
        self.ws.write_ini(TOOL, {"WatchEudcTTE": str(self.watched), "TargetEudcFont": "EUDC.TTE"})

    def put_font(self, path, content, seconds):
        path.write_bytes(content)
        os.utime(path, (seconds, seconds))

    def replace_by_rename(self, content, seconds):
        """Puts a new version in place in one step, as an atomic copy does."""
        incoming = self.ws.root / "incoming.tte"
        self.put_font(incoming, content, seconds)
        os.replace(incoming, self.watched)

    def start_watch(self, **popen_args):
        process = self.ws.start(TOOL, **popen_args)

        def stop():
            if process.poll() is None:
                process.kill()
            process.communicate(timeout=20)
        self.addCleanup(stop)
        self.host.wait_until_watching(process)
        return process

    def wait_for(self, text, count=1):
        return self.ws.wait_for_log_line(TOOL, lambda line: line.startswith(text), count=count)

    def watch_lines(self):
        lines = self.ws.log_lines(TOOL)
        return lines[lines.index(START) + 1:]

    def linked_line(self):
        return f"「{self.target}」をフォントへリンクしました。"


class WatchTest(WatchTestCase):
    def setUp(self):
        super().setUp()
        self.host.create_eudc_key()

    def test_every_new_version_is_installed(self):
        self.start_watch()
        # In place: the file is rewritten and closed.
        self.watched.write_bytes(b"font 1" * 2000)
        t1 = int(self.watched.stat().st_mtime)
        self.wait_for(self.linked_line())
        self.assertEqual(self.watch_lines(), [
            f"{CHECK} Now={stamp(t1)}",
            f"外字更新を確認 Save={stamp(self.t0)} Now={stamp(t1)}",
            "外字ファイルコピー完了",
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 1" * 2000)
        self.assertEqual(self.host.link_value(), str(self.target).encode())
        # Off before and on after each of the two link changes.
        self.assertEqual(self.host.eudc_switch_history(), ["off", "on"] * 2)

        # By rename, with an older time than the one installed.
        t2 = self.t0 + 100
        self.replace_by_rename(b"font 2" * 3000, t2)
        self.wait_for(self.linked_line(), count=2)
        self.assertEqual(self.watch_lines()[4:], [
            f"{CHECK} Now={stamp(t2)}",
            f"外字更新を確認 Save={stamp(t1)} Now={stamp(t2)}",
            "外字ファイルコピー完了",
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 2" * 3000)
        self.assertEqual(int(self.target.stat().st_mtime), t2)
        self.assertEqual(self.host.eudc_switch_history(), ["off", "on"] * 4)
        self.assertEqual(os.listdir(self.host.fonts_folder()), ["EUDC.TTE"])
        # Code page 932 on disk: 外字 is 8A 4F 8E 9A.
        self.assertIn(b"\r\n\x8a\x4f\x8e\x9a", self.ws.log_bytes(TOOL))

    def test_time_decides_backwards_is_a_change_same_second_is_not(self):
        self.start_watch()
        self.replace_by_rename(b"font 1" * 2000, self.t0 + 0.5)
        self.wait_for(CHECK)
        self.assertEqual(self.watch_lines(), [f"{CHECK} Now={stamp(self.t0)}"])

        older = self.t0 - 3600
        os.utime(self.watched, (older, older))
        self.wait_for(self.linked_line())
        self.assertEqual(self.watch_lines()[1:], [
            f"{CHECK} Now={stamp(older)}",
            f"外字更新を確認 Save={stamp(self.t0)} Now={stamp(older)}",
            "外字ファイルコピー完了",
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), b"font 1" * 2000)

    def test_other_writes_check_only_and_a_deleted_file_ends_the_watch(self):
        process = self.start_watch()
        (self.folder / "sub" / "EUDC.TTE").write_bytes(b"not watched")
        time.sleep(0.3)
        (self.folder / "other.txt").write_bytes(b"x")
        self.wait_for(CHECK)

        self.watched.unlink()
        (self.folder / "other.txt").write_bytes(b"y")
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertEqual(self.watch_lines(), [
            f"{CHECK} Now={stamp(self.t0)}",
            "監視外字ファイル異常（ステータス取得不可）",
            "監視異常終了！！！",
        ])
        self.assertFalse(self.target.exists())
        self.assertIsNone(self.host.link_value())
        self.assertEqual(self.host.eudc_switch_history(), [])

    def test_file_without_folder_part_cannot_be_watched(self):
        # A bare name is found in the current directory, but an empty folder
        # name cannot be watched.
        (self.ws.run_dir / "EUDC.TTE").write_bytes(b"font")
        self.ws.write_ini(TOOL, {"WatchEudcTTE": "EUDC.TTE", "TargetEudcFont": "EUDC.TTE"})
        self.assertEqual(self.ws.run(TOOL, timeout=30).returncode, 0)
        self.assertEqual(self.watch_lines(), [
            "監視用ハンドラの登録に失敗（設定ファイルを確認）",
            "監視異常終了！！！",
        ])


class WatchWithoutKeyTest(WatchTestCase):
    def test_font_is_copied_and_both_link_changes_fail(self):
        self.start_watch()
        self.replace_by_rename(b"font 1", self.t0 + 1)
        lines = self.wait_for("「")
        self.assertEqual(self.watch_lines()[2:], [
            "フォントリンク解除に失敗しました（Error=-2）。",
            "外字ファイルコピー完了",
            f"「{self.target}」フォントリンクに失敗しました（Error=-2）。",
        ], lines)
        self.assertEqual(self.target.read_bytes(), b"font 1")
        self.assertFalse((self.host.prefix / "registry").exists())
        self.assertEqual(self.host.eudc_switch_history(), ["off", "on"] * 2)


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
        self.assertEqual(self.watch_lines()[2:], [
            f"「{self.watched}」から「{self.target}」へのコピーに失敗しました。",
            os.strerror(28),  # ENOSPC
            self.linked_line(),
        ])
        self.assertEqual(self.target.read_bytes(), self.OLD)
        self.assertEqual(os.listdir(fonts), ["EUDC.TTE"])

    def test_watcher_killed_half_way_through_the_copy(self):
        limit = 256 * 1024

        def limit_file_size():
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
        process = self.start_watch(preexec_fn=limit_file_size)

        self.replace_by_rename(os.urandom(1 << 20), self.t0 + 1)
        self.assertEqual(process.wait(timeout=20), -signal.SIGXFSZ)
        self.assertEqual(self.target.read_bytes(), self.OLD)
        # What it had written of the copy is in a file of its own.
        partial = [p for p in self.host.fonts_folder().iterdir() if p.name != "EUDC.TTE"]
        self.assertEqual([p.stat().st_size for p in partial], [limit])


if __name__ == "__main__":
    unittest.main()

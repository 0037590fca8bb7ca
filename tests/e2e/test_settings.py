"""Both tools' settings phases, run as real executables."""

import unittest

from harness import CP932, ToolTestCase

FETCH_KEYS = ["FtpAddress", "FtpUserID", "FtpPassword", "FtpFileName", "LocalFileName"]


class FetchSettingsTest(ToolTestCase):
    def test_keys_are_seeded_one_per_run_until_complete(self):
        settings = {}
        values = {"FtpAddress": "127.0.0.1", "FtpUserID": "eudc", "FtpPassword": "pa<ss>word!",
                  "FtpFileName": "master/EUDC.TTE", "LocalFileName": "/nonexistent/EUDC.TTE"}
        for key in FETCH_KEYS:
            result = self.ws.run("Glyphfetch", args=["--ignored", "arguments"])
            self.assertEqual(result.returncode, 1)
            # Only the first missing key is added, with an empty value.
            self.assertIn(f"{key}=".encode(), self.ws.read_ini("Glyphfetch"))
            lines = self.ws.log_lines("Glyphfetch")
            self.assertEqual(lines[2:4], ["ＦＴＰの設定情報読み込み", ""])
            self.assertIn(f"「{key}=」", "".join(lines))
            settings[key] = values[key]
            self.ws.write_ini("Glyphfetch", settings)
        result = self.ws.run("Glyphfetch", timeout=120)
        self.assertEqual(result.returncode, 0)
        log = self.ws.log_bytes("Glyphfetch")
        self.assertNotIn(b"pa<ss>word", log)
        self.assertIn("Paaword 　= >******<".encode(CP932), log)
        # One log per run, newest first.
        self.assertTrue(self.ws.log_path("Glyphfetch", 5).exists())
        self.assertFalse(self.ws.log_path("Glyphfetch", 6).exists())

    def test_console_line_names_the_log(self):
        result = self.ws.run("Glyphfetch")
        self.assertIn("Glyphfetch_Log0.txt)", result.stdout.decode("utf-8", errors="replace"))
        lines = self.ws.log_lines("Glyphfetch")
        self.assertTrue(lines[0].startswith("ログ開始日時：20"), lines[0])
        self.assertEqual(len(lines[0]), len("ログ開始日時：") + 17)
        self.assertEqual(lines[1], "")


class WatchSettingsTest(ToolTestCase):
    def test_missing_watched_file_is_reported_and_nothing_seeded(self):
        missing = self.ws.root / "nowhere" / "EUDC.TTE"
        self.ws.write_ini("Glyphwarden", {"WatchEudcTTE": self.host.tool_path(missing)})
        before = self.ws.read_ini("Glyphwarden")
        result = self.ws.run("Glyphwarden")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(self.ws.read_ini("Glyphwarden"), before)
        lines = self.ws.log_lines("Glyphwarden")
        self.assertEqual(lines[4], f"「{self.host.tool_path(missing)}」は存在しません。")
        self.assertEqual(lines[-1], "")


if __name__ == "__main__":
    unittest.main()

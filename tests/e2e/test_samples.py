"""The sample settings files shipped with the Windows tools."""

import shutil
import unittest
from pathlib import Path

from harness import CP932, ToolTestCase

KEYS = {"Glyphfetch": ["FtpAddress", "FtpUserID", "FtpPassword", "FtpFileName", "LocalFileName"],
        "Glyphwarden": ["WatchEudcTTE", "TargetEudcFont", "LinkFont"]}
FIRST_MISSING = {"Glyphfetch": "「FtpAddress=」", "Glyphwarden": "「WatchEudcTTE=」"}


class SampleSettingsTest(ToolTestCase):
    def test_samples_hold_every_key_and_tools_ask_for_the_first(self):
        for tool, keys in KEYS.items():
            sample = Path(self.host.bin_dir) / "deploy" / (tool + ".ini")
            if not sample.exists():
                self.skipTest("no sample settings in this build")
            with self.subTest(tool):
                data = sample.read_bytes()
                text = data.decode(CP932)
                # Notepad and the profile functions of a Japanese client.
                self.assertNotIn("\n", text.replace("\r\n", ""))
                lines = text.split("\r\n")
                self.assertIn("[Settings]", lines)
                self.assertEqual([line for line in lines if "=" in line and line[0] != ";"],
                                 [key + "=" for key in keys])
                shutil.copy(sample, self.ws.ini_path(tool))
                self.assertEqual(self.ws.run(tool).returncode, 1)
                self.assertIn(FIRST_MISSING[tool], "".join(self.ws.log_lines(tool)))
                # The explanations stay in place for the administrator.
                self.assertEqual(self.ws.read_ini(tool).split(b"\r\n")[0], data.split(b"\r\n")[0])


if __name__ == "__main__":
    unittest.main()

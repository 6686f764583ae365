#!/usr/bin/env python3
"""Tests of check_layers.py on small trees built in a temporary folder."""

import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

LAYERS = """\
# A small stack: text -> platform -> speech -> shell.
text: text
platform: platform text
platform/sim: platform/sim platform text
speech: speech platform text
shell: shell speech platform text
testing: testing shell speech platform/sim platform text
*_test.cpp: testing platform/sim
app/: shell speech platform text
tests/: testing shell speech platform/sim platform text
"""

CLEAN = {
    "src/text/utf16.h": "#pragma once\n#include <string>\n",
    "src/platform/win_types.h": '#include "text/utf16.h"  // a comment\n',
    "src/platform/sim/sim_desktop.h": '#include "platform/win_types.h"\n#include "text/utf16.h"\n',
    "src/speech/dictionary.h": '#include "platform/win_types.h"\n#include "speech/rules.h"\n',
    "src/speech/rules.h": '#include "text/utf16.h"\n#include "local.h"\n',
    "src/speech/dictionary_test.cpp": ('#include "speech/dictionary.h"\n'
                                       '#include "testing/test_folder.h"\n'
                                       '#include "platform/sim/sim_desktop.h"\n'),
    "src/shell/main_window.cpp": '#include "speech/dictionary.h"\n',
    "src/testing/test_folder.h": '#include "platform/sim/sim_desktop.h"\n',
    "app/tts/main.cpp": '#include "shell/main_window.h"\n#include "speech/dictionary.h"\n',
    "tests/scenario/loop_test.cpp": '#include "testing/test_folder.h"\n',
    "tests/scenario/fake.h": '#include "platform/sim/sim_desktop.h"\n',
}


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory(prefix="quellon-layers-")
        self.root = self._tmp.name
        self.write("tools/layers/layers.txt", LAYERS)
        for path, text in CLEAN.items():
            self.write(path, text)

    def tearDown(self):
        self._tmp.cleanup()

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        done = subprocess.run([sys.executable, SCRIPT, "--root", self.root],
                              capture_output=True, text=True, check=False)
        return done.returncode, done.stdout.splitlines()

    def assert_fails_with(self, expected):
        rc, lines = self.run_check()
        self.assertEqual(rc, 1, lines)
        self.assertIn(expected, lines)
        return lines

    def test_clean_tree_passes(self):
        rc, lines = self.run_check()
        self.assertEqual((rc, lines), (0, []))

    def test_back_edge_names_the_file_line_and_include(self):
        self.write("src/speech/rules.h",
                   '#include "text/utf16.h"\n#include "shell/main_window.h"\n')
        lines = self.assert_fails_with(
            'src/speech/rules.h:2: includes "shell/main_window.h" (speech may not include shell)')
        # The allowed includes stay quiet; the back edge also closes a cycle (reported below).
        offences = [line for line in lines if not line.startswith("the includes form a cycle")]
        self.assertEqual(len(offences), 1, lines)

    def test_longest_folder_decides(self):
        # platform/sim is its own folder: the port layer may not reach into it.
        self.write("src/platform/wave_out.h", '#include "platform/sim/sim_desktop.h"\n')
        self.assert_fails_with('src/platform/wave_out.h:1: includes "platform/sim/sim_desktop.h" '
                               '(platform may not include platform/sim)')

    def test_implementations_and_helpers_only_for_test_files(self):
        self.write("src/speech/voice.cpp", '#include "platform/sim/sim_desktop.h"\n'
                   '#include "testing/test_folder.h"\n')
        self.write("app/tts/help.cpp", '#include "testing/test_folder.h"\n')
        rc, lines = self.run_check()
        self.assertEqual(rc, 1)
        self.assertEqual(sorted(lines), [
            'app/tts/help.cpp:1: includes "testing/test_folder.h" (app may not include testing)',
            'src/speech/voice.cpp:1: includes "platform/sim/sim_desktop.h" '
            '(speech may not include platform/sim)',
            'src/speech/voice.cpp:2: includes "testing/test_folder.h" '
            '(speech may not include testing)',
        ])

    def test_test_files_keep_the_stack(self):
        self.write("src/speech/rules_test.cpp", '#include "shell/main_window.h"\n')
        self.assert_fails_with('src/speech/rules_test.cpp:1: includes "shell/main_window.h" '
                               '(speech may not include shell)')

    def test_cycle_of_includes_is_reported(self):
        # The shell may include speech; speech including shell closes a cycle.
        self.write("src/speech/rules.h", '#include "shell/main_window.h"\n')
        lines = self.assert_fails_with(
            'the includes form a cycle: shell -> speech -> shell '
            '(src/shell/main_window.cpp:1: includes "speech/dictionary.h"; '
            'src/speech/rules.h:1: includes "shell/main_window.h")')
        self.assertEqual(len(lines), 2, lines)

    def test_cycle_in_the_layers_is_reported(self):
        self.write("tools/layers/layers.txt",
                   LAYERS.replace("platform: platform text", "platform: platform text speech"))
        self.assert_fails_with(
            "tools/layers/layers.txt: the layers form a cycle: platform -> speech -> platform")

    def test_include_of_unlisted_folder_is_reported(self):
        self.write("src/shell/main_window.cpp", '#include "engine/vaza_vorod.h"\n')
        self.assert_fails_with('src/shell/main_window.cpp:1: includes "engine/vaza_vorod.h" '
                               '(folder engine is not listed in tools/layers/layers.txt)')

    def test_file_in_unlisted_folder_is_reported(self):
        self.write("src/engine/vaza_vorod.h", '#include "speech/dictionary.h"\n')
        self.assert_fails_with(
            "src/engine/vaza_vorod.h: folder engine is not listed in tools/layers/layers.txt")

    def test_unknown_folder_on_a_line_is_reported(self):
        self.write("tools/layers/layers.txt", LAYERS.replace("shell: shell", "shell: shell core"))
        self.assert_fails_with("tools/layers/layers.txt:6: shell lists core, "
                               "which is not a folder of src/ listed here")


if __name__ == "__main__":
    unittest.main()

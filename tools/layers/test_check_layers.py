"""The layer checker finds what it must: an include of a higher layer, and a library cycle."""

import os
import tempfile
import unittest

import check_layers

DOT = """digraph "Tonvira" {
    "node0" [ label = "tonvira_engine", shape = octagon ];
    "node1" [ label = "tonvira_config", shape = octagon ];
    "node2" [ label = "tonvira_text", shape = octagon ];
    "node3" [ label = "tonvira_tests", shape = egg ];
    "node0" -> "node1"  // tonvira_engine -> tonvira_config
    "node1" -> "node2"  // tonvira_config -> tonvira_text
    %s
    "node3" -> "node3"  // tonvira_tests -> tonvira_tests
}
"""


class CheckLayersTest(unittest.TestCase):
    def graph(self, extra):
        with tempfile.NamedTemporaryFile("w", suffix=".dot", delete=False) as f:
            f.write(DOT % extra)
        self.addCleanup(os.remove, f.name)
        return check_layers.graph_cycles(f.name)

    def test_library_cycles(self):
        self.assertEqual(self.graph("")[0], [])  # an executable's self-edge is no cycle
        cycles, _count = self.graph('"node1" -> "node0"  // tonvira_config -> tonvira_engine')
        self.assertEqual(cycles, ["tonvira_config -> tonvira_engine -> tonvira_config"])

    def test_includes_of_higher_layers(self):
        root = tempfile.mkdtemp()
        files = {
            "compose/compose.cpp": '#include "text/letters.h"\n#include "decide/lexicon.h"\n',
            "decide/scoring.cpp": '#include "decide/lexicon.h"\n#include "engine/engine.h"\n',
            "config/settings.cpp": '#include "text/utf8.h"\n#include "compose/compose.h"\n',
            "context/focus_tracker.cpp": '#include "input/pipeline.h"\n',
            "input/keyboard_hook.cpp": '#include "context/published_focus.h"\n#include "app/command_line.h"\n',
            "ui/win32/drawing.cpp": '#include "text/win32/handle.h"\n#include "program/version.h"\n',
        }
        for path, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        found = [line.split(":")[0] + ":" + line.split(":")[1] for line in check_layers.include_findings(root)]
        self.assertEqual(found, ["compose/compose.cpp:2", "config/settings.cpp:2", "context/focus_tracker.cpp:1",
                                 "decide/scoring.cpp:2", "input/keyboard_hook.cpp:2", "ui/win32/drawing.cpp:2"])


if __name__ == "__main__":
    unittest.main()

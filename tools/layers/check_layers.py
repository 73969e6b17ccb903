#!/usr/bin/env python3
"""Checks the layers of the code base: which files may include which, and that the project's
libraries form no cycle.

    python3 tools/layers/check_layers.py [--graphviz build/debug/deps/deps.dot]

Each folder is a layer: a file may include the headers of its own folder and of the folders
its row lists; an include of any other layer is reported with its line. With --graphviz (the
output of `cmake --graphviz`), the dependencies between the project's libraries must form no
cycle. Exits 1 on a finding.
"""

import argparse
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Each layer's folder and the folders it may include besides itself, lowest first.
LAYERS = {
    "text": set(),
    "compose": {"text"},
    "config": {"text"},
    "decide": {"text", "compose", "config"},
    "engine": {"text", "compose", "config", "decide"},
    "context": {"text", "config"},
    "input": {"text", "compose", "config", "decide", "engine", "context"},
    "update": {"text", "config"},
    # The banner worker also runs the update check and fetches through the updater's network seam.
    "promo": {"text", "config", "update"},
    # The shell shows the updater's status and carries out its installation.
    "app": {"text", "compose", "config", "decide", "engine", "context", "input", "update"},
    "ui": {"text", "compose", "config", "decide", "engine", "context", "input", "update", "promo", "app"},
    # The program's entry point puts every part together.
    "program": {"text", "compose", "config", "decide", "engine", "context", "input", "update", "promo", "app",
                "ui"},
    # The Linux front end: the typing session and the field's class, without the Windows pipeline.
    "fcitx5": {"text", "compose", "config", "decide", "engine", "context"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    folder = path.split("/")[0]
    return folder if folder in LAYERS else None


def include_findings(root):
    findings = []
    for folder in sorted(LAYERS):
        for dirpath, _dirs, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
                own = layer_of(path)
                with open(os.path.join(root, path), encoding="utf-8") as f:
                    for number, line in enumerate(f, start=1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = layer_of(m.group(1))
                        if target and target != own and target not in LAYERS[own]:
                            findings.append("%s:%d: %s (%s) includes %s (%s)" % (path, number, path, own,
                                                                                m.group(1), target))
    return findings


def graph_cycles(dot_path):
    """Cycles among the project's libraries in a `cmake --graphviz` file."""
    names, edges = {}, {}
    with open(dot_path, encoding="utf-8") as f:
        text = f.read()
    # Static libraries are octagons; executables (eggs) end the graph, and their self-edge is
    # the test discovery step, not a dependency.
    for node, label, shape in re.findall(r'"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)",\s*shape\s*=\s*(\w+)', text):
        if label.startswith("tonvira") and shape == "octagon":
            names[node] = label
    for a, b in re.findall(r'"(node\d+)"\s*->\s*"(node\d+)"', text):
        if a in names and b in names:
            edges.setdefault(names[a], set()).add(names[b])
    cycles, state = [], {}

    def visit(node, stack):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                cycles.append(" -> ".join(stack[stack.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, stack + [nxt])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return cycles, sum(len(v) for v in edges.values())


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", default=ROOT)
    parser.add_argument("--graphviz", help="a `cmake --graphviz` file of the project")
    args = parser.parse_args()
    findings = include_findings(args.root)
    for line in findings:
        print(line)
    cycles = []
    if args.graphviz:
        cycles, count = graph_cycles(args.graphviz)
        for cycle in cycles:
            print("library cycle: " + cycle)
        print("libraries: %d dependencies between the project's libraries, %d cycles" % (count, len(cycles)))
    print("includes: %d across layers against the rules" % len(findings))
    return 1 if findings or cycles else 0


if __name__ == "__main__":
    sys.exit(main())

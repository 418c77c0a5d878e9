#!/usr/bin/env python3
"""Checks the include directions between the folders of src/.

Units are a header with its source (path without extension). Every unit
sits in one layer; a unit includes only units of its own layer or below,
and no loop of includes may span two folders. Prints each offending include
and exits 1.

    check_includes.py SRC_DIR      check a source tree
    check_includes.py --self-test  check the checker on small made-up trees
"""
import os
import re
import sys
import tempfile

# The layers from the bottom up. A layer lists folders, and single units
# that sit below the rest of their folder (the records the database stores).
LAYERS = [
    ("common", ["common"]),
    ("records", ["customers/Kokyaku", "customers/KokyakuRow", "history/RirekiData", "dm/DMData", "analysis/SorunaHit"]),
    ("db", ["db"]),
    ("core", ["app", "analysis", "customers", "dm", "exchange", "extract", "history", "lookup", "maintenance",
              "pictures", "printing"]),
    ("widgets", ["common/ui"]),
    ("frame", ["app/ui"]),
    ("screens", ["analysis/ui", "customers/ui", "dm/ui", "exchange/ui", "extract/ui", "history/ui", "lookup/ui",
                 "maintenance/ui", "pictures/ui", "printing/ui"]),
    ("root", ["root"]),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def layer_of(unit):
    """(index, name) of the unit's layer, or None when no layer names it."""
    folder = os.path.dirname(unit)
    for i, (name, members) in enumerate(LAYERS):
        if unit in members:
            return i, name
    for i, (name, members) in enumerate(LAYERS):
        if folder in members:
            return i, name
    return None


def read_edges(src):
    """{unit: {included unit: (file, line, text)}} over the quoted includes that name a file of src."""
    edges = {}
    for directory, _, files in os.walk(src):
        for f in sorted(files):
            if not f.endswith((".h", ".cpp")):
                continue
            path = os.path.join(directory, f)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            unit = os.path.splitext(rel)[0]
            edges.setdefault(unit, {})
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    target = m.group(1)
                    if not os.path.isfile(os.path.join(src, target)):
                        local = os.path.join(os.path.dirname(rel), target)
                        if not os.path.isfile(os.path.join(src, local)):
                            continue  # a system or generated header
                        target = os.path.normpath(local).replace(os.sep, "/")
                    included = os.path.splitext(target)[0]
                    if included != unit:
                        edges[unit].setdefault(included, (rel, number, m.group(1)))
    return edges


def components(edges):
    """Strongly connected components (Tarjan, iterative)."""
    index, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, {}))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges.get(child, {})))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                comp = []
                while True:
                    w = stack.pop()
                    on_stack.discard(w)
                    comp.append(w)
                    if w == node:
                        break
                result.append(sorted(comp))
    return result


def path_within(edges, members, start, goal):
    """The shortest path start -> ... -> goal through the members (breadth first)."""
    previous = {start: None}
    queue = [start]
    while queue:
        node = queue.pop(0)
        if node == goal:
            path = [node]
            while previous[path[-1]] is not None:
                path.append(previous[path[-1]])
            return list(reversed(path))
        for child in sorted(edges.get(node, {})):
            if child in members and child not in previous:
                previous[child] = node
                queue.append(child)
    return None


def loop_across(edges, comp):
    """The shortest loop of the component that has an include crossing two folders."""
    members = set(comp)
    best = None
    for a in comp:
        for b in sorted(edges.get(a, {})):
            if b in members and os.path.dirname(a) != os.path.dirname(b):
                back = path_within(edges, members, b, a)
                if back and (best is None or len(back) + 1 < len(best)):
                    best = [a] + back
    return best


def check(src):
    """The list of problems found, each a line naming the offending include."""
    edges = read_edges(src)
    problems = []
    for unit in sorted(edges):
        layer = layer_of(unit)
        if layer is None:
            problems.append(f"{unit}: the folder {os.path.dirname(unit) or '.'} has no layer in check_includes.py")
            continue
        for included, (where, line, text) in sorted(edges[unit].items()):
            target = layer_of(included)
            if target is not None and target[0] > layer[0]:
                problems.append(f'{where}:{line}: #include "{text}" goes up from layer {layer[1]} '
                                f"to layer {target[1]}")
    for comp in components(edges):
        if len({os.path.dirname(u) for u in comp}) < 2:
            continue
        path = loop_across(edges, comp)
        steps = [f'{edges[a][b][0]}:{edges[a][b][1]} #include "{edges[a][b][2]}"' for a, b in zip(path, path[1:])]
        problems.append("include loop across folders: " + " -> ".join(steps))
    return problems


def self_test():
    """The checker finds each kind of fault in a small tree and passes a clean one."""
    cases = [
        ("clean", {"common/A.h": "", "db/D.h": '#include "common/A.h"', "root/main.cpp": '#include "db/D.h"'}, []),
        ("database reaches up", {"db/D.cpp": '#include "app/ui/F.h"', "app/ui/F.h": ""},
         ['db/D.cpp:1: #include "app/ui/F.h" goes up from layer db to layer frame']),
        ("record above its folder", {"customers/Kokyaku.h": '#include "customers/Other.h"', "customers/Other.h": ""},
         ['customers/Kokyaku.h:1: #include "customers/Other.h" goes up from layer records to layer core']),
        ("screen reaches the root", {"dm/ui/V.cpp": '#include "root/Wiring.h"', "root/Wiring.h": ""},
         ['dm/ui/V.cpp:1: #include "root/Wiring.h" goes up from layer screens to layer root']),
        ("unknown folder", {"misc/X.h": ""}, ["misc/X: the folder misc has no layer in check_includes.py"]),
        ("loop across folders",
         {"customers/ui/V.cpp": '#include "dm/ui/W.h"', "dm/ui/W.cpp": '#include "customers/ui/V.h"',
          "customers/ui/V.h": "", "dm/ui/W.h": ""},
         ['include loop across folders: customers/ui/V.cpp:1 #include "dm/ui/W.h" -> '
          'dm/ui/W.cpp:1 #include "customers/ui/V.h"']),
        ("loop inside a folder", {"printing/ui/A.cpp": '#include "B.h"', "printing/ui/B.cpp": '#include "A.h"',
                                  "printing/ui/A.h": "", "printing/ui/B.h": ""}, []),
    ]
    failed = 0
    for name, files, expected in cases:
        with tempfile.TemporaryDirectory() as root:
            for rel, text in files.items():
                os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
                with open(os.path.join(root, rel), "w", encoding="utf-8") as f:
                    f.write(text + "\n")
            got = check(root)
        if got != expected:
            failed += 1
            print(f"self-test {name}: expected {expected}, got {got}")
    return 1 if failed else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    problems = check(sys.argv[1])
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Prints the product's include graph by layer: which layer includes which,
every include that runs back up a layer, and every cycle between modules
(a header and its source).

    include_graph.py [--repo DIR] [--edges]
    include_graph.py --check [--publish LAYER[:READER]=PREFIX,...]... [--stamp FILE]

The layers, from the top: app, commands, units (ui/units: each unit's own
files and the list of units), ui (the window manager and what the units
share), picture, runtime, platform. A layer may include its own files and
those of any layer below it; ui and picture stand side by side and include
nothing of each other, and no unit includes another unit. An include
is resolved as the compiler would: beside the including file first, then
from the repository root, then by a unique file of that name in the
product's folders (the bare names of older code). Exit status 1 when an
include runs back up or the modules form a cycle.

--check also refuses an include that does not name its folder from the
repository root, and holds each include of another layer's header against
what that layer publishes (--publish runtime=runtime/abi/,runtime/heap.h: the
headers or folders others may include; runtime:app=... narrows it for one
reader), prints only what is wrong, and writes --stamp when all is right:
the build runs it, so that a private include fails the build.
"""
import argparse
import os
import re
import sys

LAYERS = ["app", "commands", "ui", "picture", "runtime", "platform"]
RANK = {"app": 0, "commands": 1, "units": 2, "ui": 3, "picture": 3, "runtime": 4, "platform": 5}
# The list of units, which includes them all.
UNIT_LISTS = {"unit_tables", "pending_units"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".cpp", ".S", ".inc")


def unit_files(repo):
    """The stems of ui/units/ files that are a unit's own: one per description."""
    folder = os.path.join(repo, "ui", "units", "descriptions")
    stems = {name[:-5] for name in os.listdir(folder) if name.endswith(".toml")} if os.path.isdir(folder) else set()
    return {"window_unit" if stem == "window" else stem for stem in stems}


UNITS = set()


def layer_of(path):
    top = path.split("/", 1)[0]
    if path.startswith("ui/units/"):
        stem = os.path.splitext(os.path.basename(path))[0]
        if stem in UNITS or stem in UNIT_LISTS:
            return "units"
    return top


def unit_of(path):
    """The unit a ui/units/ file belongs to, or None."""
    stem = os.path.splitext(os.path.basename(path))[0]
    return stem if path.startswith("ui/units/") and stem in UNITS else None


def product_files(repo):
    files = []
    for layer in LAYERS:
        for folder, _, names in os.walk(os.path.join(repo, layer)):
            for name in names:
                if name.endswith(SOURCES):
                    files.append(os.path.relpath(os.path.join(folder, name), repo))
    return sorted(files)


def resolve(repo, including, name, by_base):
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.exists(os.path.join(repo, beside)):
        return beside
    if os.path.exists(os.path.join(repo, name)):
        return os.path.normpath(name)
    matches = by_base.get(os.path.basename(name), [])
    matches = [m for m in matches if m.endswith("/" + name) or m == name]
    return matches[0] if len(matches) == 1 else None


def graph(repo):
    files = product_files(repo)
    by_base = {}
    for f in files:
        by_base.setdefault(os.path.basename(f), []).append(f)
    edges = {}
    for f in files:
        with open(os.path.join(repo, f), encoding="utf-8", errors="replace") as source:
            names = INCLUDE.findall(source.read())
        edges[f] = [(name, resolve(repo, f, name, by_base)) for name in names]
    return files, edges


def modules(edges):
    """The graph between modules: a header and its source are one module."""
    merged = {}
    for f, targets in edges.items():
        node = os.path.splitext(f)[0]
        merged.setdefault(node, [])
        for name, target in targets:
            if target and os.path.splitext(target)[0] != node:
                merged[node].append((name, os.path.splitext(target)[0]))
    return merged


def cycles(edges):
    """Each strongly connected group of more than one module (Tarjan)."""
    index, low, on_stack, stack, groups = {}, {}, set(), [], []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for _, target in edges.get(node, []):
            if target is None or target not in edges:
                continue
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for node in edges:
        if node not in index:
            visit(node)
    return groups


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--repo", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    parser.add_argument("--edges", action="store_true", help="also list every include between layers")
    parser.add_argument("--check", action="store_true", help="print only what breaks the rules")
    parser.add_argument("--publish", action="append", default=[], metavar="LAYER[:READER]=PREFIX,...")
    parser.add_argument("--stamp", help="with --check: the file to write when all is right")
    args = parser.parse_args(argv)
    repo = os.path.abspath(args.repo)
    UNITS.update(unit_files(repo))
    files, edges = graph(repo)

    between, upward, bare = {}, [], 0
    for f, targets in edges.items():
        for name, target in targets:
            if name.split("/", 1)[0] not in LAYERS:
                bare += 1
            if target is None:
                continue
            a, b = layer_of(f), layer_of(target)
            if a != b:
                between[(a, b)] = between.get((a, b), 0) + 1
            other_unit = unit_of(target) and unit_of(f) and unit_of(target) != unit_of(f)
            if RANK[b] < RANK[a] or (a != b and RANK[a] == RANK[b]) or other_unit:
                upward.append(f"{f} -> {target}")

    if not args.check:
        print_layers(files, between, bare, upward)
    groups = cycles(modules(edges))
    if args.check:
        return check(edges, upward, groups, args.publish, args.stamp)
    print(f"cycles: {len(groups)}")
    for group in groups:
        print("  " + " <-> ".join(group))
    if args.edges:
        for f, targets in sorted(edges.items()):
            for name, target in targets:
                if target and layer_of(target) != layer_of(f):
                    print(f"{f} -> {target}")
    return 1 if upward or groups else 0


def print_layers(files, between, bare, upward):
    print(f"{len(files)} files; includes between layers (from -> to: count):")
    for (a, b), count in sorted(between.items(), key=lambda item: (RANK[item[0][0]], RANK[item[0][1]])):
        print(f"  {a} -> {b}: {count}")
    print(f"includes not named from the repository root: {bare}")
    print(f"arrows back up or sideways: {len(upward)}")
    for line in upward:
        print(f"  {line}")


def published(rules):
    """{(layer, reader or None): [prefixes]} from the --publish rules."""
    table = {}
    for rule in rules:
        who, _, prefixes = rule.partition("=")
        layer, _, reader = who.partition(":")
        table[(layer, reader or None)] = [p for p in prefixes.split(",") if p]
    return table


def check(edges, upward, groups, rules, stamp):
    table = published(rules)
    private = []
    for f, targets in sorted(edges.items()):
        reader = f.split("/", 1)[0]
        for name, target in targets:
            if name.split("/", 1)[0] not in LAYERS:
                private.append(f"{f} includes \"{name}\", which does not name its folder from the repository root")
            if target is None:
                continue
            layer = target.split("/", 1)[0]
            if layer == reader:
                continue
            allowed = table.get((layer, reader), table.get((layer, None)))
            if allowed is not None and not any(target == p or (p.endswith("/") and target.startswith(p))
                                               for p in allowed):
                private.append(f"{f} includes {target}, which {layer}/ does not publish to {reader}/")
    for line in upward:
        print(f"include_graph: an arrow back up: {line}")
    for group in groups:
        print("include_graph: a cycle: " + " <-> ".join(group))
    for line in private:
        print(f"include_graph: {line}")
    if upward or groups or private:
        return 1
    if stamp:
        with open(stamp, "w") as out:
            out.write("the include rules hold\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())

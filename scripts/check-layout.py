#!/usr/bin/env python3
"""Fails on an include that runs against the folders' order, or on two
modules that depend on each other.

The folders, each using only those before it; folders of one rank are
peers and use none of each other:
  platform <- analysis <- import <- results <- (backtest, stats, payout)
  <- report <- (cli, ui)
A module is a header and its sources (name.h, name.cpp, name_posix.cpp,
name_win32.cpp); tests are left out of the modules' graph but keep the
folders' order.

  check-layout.py [ROOT]      checks the tree at ROOT (default: the project)
  check-layout.py --self-test shows that a planted include fails
"""
import os
import re
import shutil
import sys
import tempfile

RANKS = [["platform"], ["analysis"], ["import"], ["results"],
         ["backtest", "stats", "payout"], ["report"], ["cli", "ui"]]
RANK = {folder: rank for rank, peers in enumerate(RANKS) for folder in peers}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources(root):
    for folder in RANK:
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if name.endswith((".h", ".cpp")):
                yield folder, name


def module_of(name):
    stem = os.path.splitext(name)[0]
    return re.sub(r"_(posix|win32)$", "", stem)


def check(root):
    files = list(sources(root))
    home = {}  # header name -> folder
    for folder, name in files:
        if name.endswith(".h"):
            if name in home:
                return ["%s is in both %s/ and %s/" % (name, home[name], folder)]
            home[name] = folder
    problems, depends = [], {}
    for folder, name in files:
        with open(os.path.join(root, folder, name), encoding="utf-8") as f:
            text = f.read()
        test = name.endswith("_test.cpp") or name.startswith("test_")
        own = (folder, module_of(name))
        for header in INCLUDE.findall(text):
            there = home.get(os.path.basename(header))
            if there is None:
                continue  # generated, or the system's
            if RANK[there] > RANK[folder] or (RANK[there] == RANK[folder] and there != folder):
                problems.append("%s/%s includes %s of %s/, which comes later or beside it"
                                % (folder, name, header, there))
            target = (there, module_of(header))
            if not test and target != own:
                depends.setdefault(own, set()).add(target)
    problems += cycles(depends)
    return problems


def cycles(depends):
    """Each set of modules that reach one another, as one problem."""
    index, low, stack, on, found, counter = {}, {}, [], set(), [], [0]

    def visit(node):  # Tarjan's strongly connected components
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on.add(node)
        for next_node in sorted(depends.get(node, ())):
            if next_node not in index:
                visit(next_node)
                low[node] = min(low[node], low[next_node])
            elif next_node in on:
                low[node] = min(low[node], index[next_node])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                names = ", ".join("%s/%s" % m for m in sorted(group))
                found.append("these modules depend on each other: " + names)

    for node in sorted(depends):
        if node not in index:
            visit(node)
    return found


def planted(root, folder, name, header):
    """A copy of the tree with `#include "header"` added to folder/name."""
    copy = tempfile.mkdtemp()
    for each in RANK:
        if os.path.isdir(os.path.join(root, each)):
            shutil.copytree(os.path.join(root, each), os.path.join(copy, each))
    with open(os.path.join(copy, folder, name), "a", encoding="utf-8") as f:
        f.write('#include "%s"\n' % header)
    return copy


def self_test(root):
    ok = not check(root)
    print("the tree as it is: " + ("passes" if ok else "fails"))
    for folder, name, header, why in [
            ("analysis", "draw_format.h", "report_page.h", "a later folder"),
            ("backtest", "backtest.cpp", "cli_options.h", "a later folder"),
            ("cli", "kestaro_cli.cpp", "main_window.h", "a peer folder"),
            ("analysis", "frequency_table.h", "score_table.h", "each other")]:
        copy = planted(root, folder, name, header)
        try:
            caught = check(copy)
        finally:
            shutil.rmtree(copy)
        print("%s/%s including %s (%s): %s" % (folder, name, header, why,
                                              "caught" if caught else "NOT caught"))
        ok = ok and bool(caught)
    return 0 if ok else 1


def main(argv):
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if argv[1:] == ["--self-test"]:
        return self_test(root)
    if len(argv) > 1:
        root = argv[1]
    problems = check(root)
    for problem in problems:
        print(problem)
    if not problems:
        print("layout: every include follows the folders' order; no two modules depend on each other")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

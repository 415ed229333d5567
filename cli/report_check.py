#!/usr/bin/env python3
"""Checks the report page as the browser rendered it (its DOM) against values
computed here from the draw file, and against kestaro-cli's own commands.

Usage: report_check.py PROGRAM_WORDS DOM RAW DRAW_FILE EVERY [BACKTEST_OPTION ...]
PROGRAM_WORDS runs kestaro-cli (e.g. "wine kestaro-cli.exe"); RAW is the page
as written; one point of the curve in EVERY is asked of best (and the last).
With backtest options the page must hold the backtest they ask for.
"""
import html.parser
import json
import math
import re
import subprocess
import sys

from json_check import draws_of  # the draws as the program reads them

COLUMNS = ["A", "B", "C", "D", "E", "Z", "AVG"]
TOTAL = math.comb(31, 5)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


class Page(html.parser.HTMLParser):
    """Every element as (tag, attributes, text inside it), in order."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements = []
        self.open = []

    def handle_starttag(self, tag, attrs):
        element = [tag, dict(attrs), ""]
        self.elements.append(element)
        if tag not in ("meta", "rect", "circle", "line", "polyline", "br"):
            self.open.append(element)

    def handle_startendtag(self, tag, attrs):
        self.elements.append([tag, dict(attrs), ""])

    def handle_endtag(self, tag):
        while self.open:
            element = self.open.pop()
            if element[0] == tag:
                break

    def handle_data(self, data):
        for element in self.open:
            element[2] += data

    def having(self, tag, attribute):
        return [e for e in self.elements if e[0] == tag and attribute in e[1]]

    def by_id(self, name):
        found = [e for e in self.elements if e[1].get("id") == name]
        check(len(found) == 1, f"{len(found)} elements with id {name}")
        return found[0] if found else ["", {}, ""]


def run(program, *words):
    done = subprocess.run(program.split() + list(words), capture_output=True)
    return done.returncode, done.stdout, done.stderr


def best_json(program, draw_file, threshold):
    status, out, err = run(program, "best", "--file", draw_file, "--threshold", threshold,
                           "--format", "json")
    try:
        value = json.loads(out)
    except ValueError:
        value = None
    # What it wrote, so that a failure says what went wrong.
    check(status == 0 and value is not None,
          f"best --threshold {threshold}: exit {status}, stdout {out[:80]!r}, stderr {err[:200]!r}")
    return value or {"best": "", "bestExact": 0, "reaching": None}


def self_contained(text, where):
    """Nothing loaded from elsewhere: no src, no href but to the page, no url()."""
    for tag in ("script", "img", "iframe", "object", "embed", "link", "audio", "video"):
        check(re.search(rf"<{tag}\b", text, re.I) is None, f"{where}: a <{tag}> element")
    check(re.search(r"\bsrc\s*=", text, re.I) is None, f"{where}: a src attribute")
    for link in re.findall(r"\bhref\s*=\s*[\"']?([^\"' >]*)", text, re.I):
        check(link.startswith("#"), f"{where}: href {link!r}")
    for target in re.findall(r"url\(\s*([^)]*)\)", text, re.I):
        check(target.strip("'\" ").startswith("#"), f"{where}: url({target})")
    check("@import" not in text, f"{where}: @import")


def fair_cells(draws):
    """expected[n][c] and variance[n][c] for columns 0..5 (A..E, Z), per draw summed."""
    expected = [[0.0] * 6 for _ in range(32)]
    variance = [[0.0] * 6 for _ in range(32)]
    for draw in draws:
        main = draw[:5]
        ascending = all(main[i] < main[i + 1] for i in range(4))
        for n in range(1, 32):
            for p in range(6):
                if p < 5 and ascending:
                    q = math.comb(n - 1, p) * math.comb(31 - n, 4 - p) / TOTAL
                else:
                    q = 1 / 31
                expected[n][p] += q
                variance[n][p] += q * (1 - q)
    return expected, variance


def close(x, y, tolerance=1e-6):
    return abs(x - y) <= tolerance * max(1.0, abs(y))


def check_cells(page, draws):
    cells = page.having("g", "data-column")
    check(len(cells) == 31 * 7, f"{len(cells)} cells")
    expected, variance = fair_cells(draws)
    neutral = None
    shades = []
    for tag, attributes, text in cells:
        n, column = int(attributes["data-number"]), attributes["data-column"]
        where = f"cell {n} {column}"
        c = COLUMNS.index(column)
        observed = attributes["data-observed"]
        if column == "AVG":
            count = sum(draw.count(n) for draw in draws)
            mean, var = 6 / 31 * len(draws), len(draws) * 6 / 31 * 25 / 31
            share = 100 * count / len(draws) if draws else 0
            check(abs(float(observed) - share) <= 0.005 + 1e-9, f"{where}: {observed} vs {share}")
            fair = 100 * 6 / 31 if draws else 0
            check(close(float(attributes["data-expected"]), fair), f"{where}: expected")
        else:
            count = sum(1 for draw in draws if draw[c] == n)
            mean, var = expected[n][c], variance[n][c]
            check(observed == str(count), f"{where}: observed {observed}, counted {count}")
            check(close(float(attributes["data-expected"]), mean),
                  f"{where}: expected {attributes['data-expected']} vs {mean}")
        z = attributes["data-z"]
        colour = cell_rect(page, attributes)[1].get("fill", "")
        if var == 0:
            check(z == "", f"{where}: z {z!r} where nothing varies")
            check("—" in text, f"{where}: no dash in {text!r}")
            neutral = neutral or colour
            check(colour == neutral, f"{where}: neutral colour {colour}")
        else:
            want = (count - mean) / math.sqrt(var)
            check(z != "" and abs(float(z) - want) < 1e-6, f"{where}: z {z!r} vs {want}")
            shades.append((want, colour))
        check(f"{n} {column}" in text and f"{mean if column != 'AVG' else fair:.1f}" in text,
              f"{where}: tooltip {text!r}")
    check_shades(page, shades)


def rgb(colour):
    return [int(colour[i:i + 2], 16) for i in (1, 3, 5)]


def check_shades(page, shades):
    """Red above a fair draw, blue below, deeper with |z|, the legend's ends from ±3 on."""
    legend = [e[1]["fill"] for e in legend_rects(page) if e[0] == "rect"]
    check(len(legend) == 14, f"{len(legend)} colours in the legend")
    if len(legend) != 14:
        return
    for z, colour in shades:
        red, green, blue = rgb(colour)
        if z >= 3:
            check(colour == legend[12], f"z {z:.2f}: {colour}, not the legend's +3")
        elif z <= -3:
            check(colour == legend[0], f"z {z:.2f}: {colour}, not the legend's -3")
        if z > 0.2:
            check(red > blue, f"z {z:.2f} but colour {colour}")
        if z < -0.2:
            check(blue > red, f"z {z:.2f} but colour {colour}")
    # The further from a fair draw, the less white: the green channel falls with |z|.
    for side in (1, -1):
        ordered = sorted((abs(z), rgb(c)[1]) for z, c in shades if z * side > 0)
        check(all(a[1] >= b[1] for a, b in zip(ordered, ordered[1:])),
              f"colours on the {'+' if side > 0 else '-'} side do not deepen with |z|")


def legend_rects(page):
    start = next(i for i, e in enumerate(page.elements) if e[1].get("class") == "legend")
    after = page.elements[start + 1:]
    end = next((i for i, e in enumerate(after) if e[0] in ("svg", "section")), len(after))
    return after[:end]


def following(page, attributes):
    """The elements after the one whose attributes these are."""
    index = next(i for i, e in enumerate(page.elements) if e[1] is attributes)
    return page.elements[index + 1:]


def cell_rect(page, attributes):
    """The rect drawn inside the cell whose attributes these are."""
    return next(e for e in following(page, attributes) if e[0] == "rect")


def check_strips(page, draws):
    strips = page.having("g", "data-gap")
    check(len(strips) == 31, f"{len(strips)} strips")
    recent = draws[-100:]
    for tag, attributes, text in strips:
        n = int(attributes["data-number"])
        came = [i for i, draw in enumerate(draws) if n in draw]
        want = str(len(draws) - 1 - came[-1]) if came else ""
        check(attributes["data-gap"] == want, f"strip {n}: gap {attributes['data-gap']!r}, {want!r}")
        after = following(page, attributes)
        marks = [e[1]["class"] for e in after[:len(recent) + 1] if e[0] == "rect"]
        wanted = ["main" if n in d[:5] else "bonus" if d[5] == n else "none" for d in recent]
        check(marks == wanted, f"strip {n}: marks differ from the last {len(recent)} draws")
        if recent:
            last = [e for e in after[:len(recent) + 1] if e[0] == "rect"][-1]
            check(last[1]["x"] == "630", f"strip {n}: the last draw at x {last[1]['x']}")


def check_curve(page, program, draw_file, best, every):
    points = page.having("circle", "data-threshold")
    thresholds = [float(p[1]["data-threshold"]) for p in points]
    want = [k / 10 for k in range(0, int(best * 10) + 2) if k / 10 <= best]
    if not want or want[-1] != best:
        want.append(best)
    check(thresholds == want, f"curve thresholds {thresholds[:3]}… vs {want[:3]}…")
    for i, (tag, attributes, text) in enumerate(points):
        if i % every and i != len(points) - 1:
            continue
        reaching = best_json(program, draw_file, attributes["data-threshold"])["reaching"]
        check(int(attributes["data-reaching"]) == reaching,
              f"curve at {attributes['data-threshold']}: {attributes['data-reaching']} vs {reaching}")


def check_backtest(page, program, draw_file, options):
    sections = [e for e in page.elements if e[1].get("id") == "backtest"]
    if not options:
        check(not sections, "a backtest section nobody asked for")
        return
    check(len(sections) == 1, "no backtest section")
    if not sections:
        return
    status, out, _ = run(program, "backtest", "--file", draw_file, "--format", "json", *options)
    summary = json.loads(out)
    section = sections[0][1]
    for name in ("targets", "tickets"):
        check(section[f"data-{name}"] == str(summary[name]), f"backtest {name}")
    for name in ("z", "p"):
        value = section[f"data-{name}"]
        if summary[name] is None:
            check(value == "", f"backtest {name} {value!r} where there is none")
        else:
            check(value != "" and close(float(value), summary[name], 1e-12), f"backtest {name}")
    pairs = page.having("g", "data-kind")
    for kind, observed, expected, first in (("matches", "matches", "expectedMatches", 0),
                                            ("tier", "tiers", "expectedTiers", 1)):
        bars = [p[1] for p in pairs if p[1]["data-kind"] == kind]
        check([int(b["data-index"]) for b in bars] == list(range(first, first + len(summary[observed]))),
              f"{kind} bars")
        for bar, count, mean in zip(bars, summary[observed], summary[expected]):
            check(int(bar["data-observed"]) == count and close(float(bar["data-expected"]), mean),
                  f"{kind} {bar['data-index']}: {bar['data-observed']}/{bar['data-expected']}")
    status, out, _ = run(program, "backtest", "--file", draw_file, *options)
    text = out.decode("cp932" if program.endswith(".exe") else "utf-8")
    verdict = page.by_id("verdict")[2].strip()
    check(verdict == text.strip().split("\n")[-1], f"verdict {verdict!r}")


def main():
    program, dom_path, raw_path, draw_file, every = sys.argv[1:6]
    options = sys.argv[6:]
    raw = open(raw_path, "rb").read().decode("utf-8")
    dom = open(dom_path, "rb").read().decode("utf-8")
    self_contained(raw, "page")
    self_contained(dom, "rendered page")
    page = Page()
    page.feed(dom)
    draws = draws_of(draw_file)
    best = best_json(program, draw_file, "10")
    check(page.by_id("draws")[2] == str(len(draws)), "number of draws")
    outside = sum(1 for draw in draws if any(not 1 <= x <= 31 for x in draw))
    if outside:
        check(page.by_id("outside")[2] == str(outside), "draws with numbers outside 1 to 31")
    else:
        check(not [e for e in page.elements if e[1].get("id") == "outside"], "an outside row")
    # As best prints it: the percentage and every digit of the double.
    shown = page.by_id("best")[2]
    check(shown == "%s (%.17g)" % (best["best"], best["bestExact"]), f"best {shown!r}")
    check(page.by_id("reach10")[2] == str(best["reaching"]), "combinations reaching 10%")
    check(page.by_id("reach1")[2] == str(best_json(program, draw_file, "1")["reaching"]),
          "combinations reaching 1%")
    check_cells(page, draws)
    check_strips(page, draws)
    check_curve(page, program, draw_file, best["bestExact"], int(every))
    check_backtest(page, program, draw_file, options)
    for failure in failures[:20]:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()

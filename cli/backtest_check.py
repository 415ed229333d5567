#!/usr/bin/env python3
"""kestaro-cli backtest's output against the draw file and the fair-draw odds,
worked out here from their definitions. Usage: backtest_check.py CHECK ARGS...
Exit 0 when everything holds; otherwise what did not, and exit 1."""
import argparse
import json
import math
import re
import sys

from json_check import draws_of  # the draws as the program reads them

SUMMARY_KEYS = ["from", "count", "threshold", "seed", "targets", "outOfReach", "invalid",
                "tickets", "matches", "expectedMatches", "tiers", "expectedTiers",
                "meanMatches", "expectedMeanMatches", "z", "p"]
TICKET_KEYS = ["draw", "candidate", "seed", "A", "B", "C", "D", "E", "Z", "AVG", "matches",
               "bonus"]
ALL = math.comb(31, 5)
MATCH_WAYS = [math.comb(5, m) * math.comb(26, 5 - m) for m in range(6)]
# 1等: five; 2等: four and the bonus as the fifth; 3等: four and another; 4等: three.
TIER_WAYS = [1, 5, 5 * 25, MATCH_WAYS[3]]


class Mismatch(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Mismatch(message)


def close(x, y):
    return math.isclose(x, y, rel_tol=1e-9, abs_tol=1e-12)


def ticket_rows(path):
    lines = open(path, "rb").read().decode("ascii").split("\n")
    check(lines[-1] == "", "the rows do not end in LF")
    check(lines[0] == ",".join(TICKET_KEYS), f"CSV header {lines[0]!r}")
    return [line.split(",") for line in lines[1:-1]]


def tier_of(matches, bonus):
    return {5: 1, 4: 2 if bonus else 3, 3: 4}.get(matches, 0)


def tickets(args):
    """Every ticket's matches from the draw file; the summary from the tickets."""
    draws = draws_of(args.draws)
    summary = json.load(open(args.summary), object_pairs_hook=lambda pairs: dict(pairs))
    order = json.load(open(args.summary), object_pairs_hook=lambda pairs: [k for k, _ in pairs])
    check(order == SUMMARY_KEYS, f"summary keys {order}")
    rows = ticket_rows(args.tickets)
    start, count, seed = summary["from"], summary["count"], summary["seed"]
    matches, tiers = [0] * 6, [0] * 4
    by_target = {}
    for row in rows:
        t, k, row_seed = int(row[0]), int(row[1]), int(row[2])
        numbers, bonus_number = [int(x) for x in row[3:8]], int(row[8])
        check(numbers == sorted(set(numbers)) and bonus_number not in numbers, f"ticket {row}")
        check(row_seed == (seed + (t - 1) * count + k - 1) % 2**32, f"seed of {row}")
        check(re.fullmatch(r"\d+\.\d\d", row[9]) is not None, f"AVG {row[9]!r}")
        drawn = draws[t - 1]
        m = len(set(numbers) & set(drawn[:5]))
        hit = drawn[5] in numbers
        check([int(row[10]), int(row[11])] == [m, int(hit)], f"matches of {row} with {drawn}")
        matches[m] += 1
        if tier_of(m, hit):
            tiers[tier_of(m, hit) - 1] += 1
        by_target.setdefault(t, []).append(numbers)
    check(all(len(held) == count for held in by_target.values()), "tickets per target")
    check(all(start <= t <= len(draws) for t in by_target), "targets out of range")
    check(summary["targets"] == len(by_target), f"targets {summary['targets']}")
    check(summary["targets"] + summary["outOfReach"] + summary["invalid"] ==
          max(0, len(draws) - start + 1), "targets, out of reach and invalid do not add up")
    check(summary["tickets"] == len(rows), "tickets")
    check(summary["matches"] == matches, f"matches {summary['matches']} counted {matches}")
    check(summary["tiers"] == tiers, f"tiers {summary['tiers']} counted {tiers}")
    n = len(rows)
    check(all(close(x, n * w / ALL) for x, w in zip(summary["expectedMatches"], MATCH_WAYS)),
          "expected matches")
    check(all(close(x, n * w / ALL) for x, w in zip(summary["expectedTiers"], TIER_WAYS)),
          "expected tiers")
    check(close(summary["expectedMeanMatches"], 25 / 31), "expected mean")
    if n == 0:
        check(summary["meanMatches"] is None and summary["z"] is None and summary["p"] is None,
              "undefined mean, z and p must be null")
        return
    check(close(summary["meanMatches"], sum(m * c for m, c in enumerate(matches)) / n), "mean")
    # For a fair draw each number is drawn with 5/31; two numbers together
    # with 5·4/(31·30).
    deviation = variance = 0.0
    for t in sorted(by_target):
        held = [0] * 32
        for numbers in by_target[t]:
            for x in numbers:
                held[x] += 1
        drawn = set(draws[t - 1][:5])
        deviation += sum(held[x] for x in drawn) - count * 25 / 31
        p1, p2 = 5 / 31, 5 * 4 / (31 * 30)
        s1, s2 = sum(held), sum(c * c for c in held)
        variance += s2 * p1 * (1 - p1) + (s1 * s1 - s2) * (p2 - p1 * p1)
    z = deviation / math.sqrt(variance)
    check(math.isclose(summary["z"], z, rel_tol=1e-9), f"z {summary['z']} worked out {z}")
    check(math.isclose(summary["p"], math.erfc(abs(z) / math.sqrt(2)), rel_tol=1e-9), "p")


def lines(args):
    """The JSON Lines rows are the CSV rows, AVG the number the row shows."""
    rows = ticket_rows(args.csv)
    data = open(args.jsonl, "rb").read()
    check(all(byte < 0x80 for byte in data), "not plain ASCII")
    objects = [json.loads(line, object_pairs_hook=lambda pairs: pairs)
               for line in data.decode("ascii").split("\n")[:-1]]
    check(len(objects) == len(rows), f"{len(objects)} lines for {len(rows)} rows")
    for pairs, row in zip(objects, rows):
        check([k for k, _ in pairs] == TICKET_KEYS, f"keys {[k for k, _ in pairs]}")
        values = [v for _, v in pairs]
        check(all(type(v) is int for i, v in enumerate(values) if i != 9), f"{values}")
        check(type(values[9]) is float and f"{values[9]:.2f}" == row[9], f"AVG {values[9]}")
        check([str(v) for i, v in enumerate(values) if i != 9] == row[:9] + row[10:], f"{row}")


def search(args):
    """Target t's tickets are the search's rows on the draws before it."""
    rows = [row for row in ticket_rows(args.tickets) if int(row[0]) == args.target]
    found = open(args.search, "rb").read().decode("ascii").split("\n")
    check(found[0] == "No,A,B,C,D,E,Z,AVG", f"search header {found[0]!r}")
    found = [line.split(",") for line in found[1:-1]]
    check(len(rows) == len(found) > 0, f"{len(rows)} tickets, {len(found)} candidates")
    for ticket, candidate in zip(rows, found):
        check(ticket[1] == candidate[0] and ticket[3:10] == candidate[1:], f"{ticket} {candidate}")


def text(args):
    """The summary's text shows the JSON's counts and expectations."""
    shown = open(args.text, "rb").read().decode(args.encoding)
    summary = json.load(open(args.summary))
    for m in range(6):
        row = f"  {m}  {summary['matches'][m]:12d}{summary['expectedMatches'][m]:14.2f}\n"
        check(row in shown, f"no row {row!r}")
    for tier in range(4):
        row = f"  {tier + 1}等{summary['tiers'][tier]:12d}{summary['expectedTiers'][tier]:14.2f}\n"
        check(row in shown, f"no row {row!r}")
    check(f"{summary['tickets']:8d}\n" in shown, "tickets")
    if summary["z"] is not None:
        check(f"平均  {summary['meanMatches']:.4f} (" in shown, "mean")
        check(f"z = {summary['z']:.2f}、p = {summary['p']:.3f} (両側)" in shown, "z and p")
        verdict = "多く当たりました" if summary["z"] > 0 else "当たりが少なめでした"
        check(verdict in shown, "the verdict's direction")
        within = "(|z| < 2)" if abs(summary["z"]) < 2 else "(|z| >= 2)"
        check(within in shown, "the verdict's chance")
    else:
        check("平均、z、p はありません" in shown, "no mean said so")


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="check", required=True)
    p = sub.add_parser("tickets")
    p.add_argument("draws")
    p.add_argument("tickets")
    p.add_argument("summary")
    p = sub.add_parser("lines")
    p.add_argument("csv")
    p.add_argument("jsonl")
    p = sub.add_parser("search")
    p.add_argument("tickets")
    p.add_argument("target", type=int)
    p.add_argument("search")
    p = sub.add_parser("text")
    p.add_argument("text")
    p.add_argument("summary")
    p.add_argument("--encoding", default="utf-8")
    args = parser.parse_args()
    try:
        {"tickets": tickets, "lines": lines, "search": search, "text": text}[args.check](args)
    except (Mismatch, ValueError, KeyError, IndexError, TypeError) as error:
        print(error)
        sys.exit(1)


if __name__ == "__main__":
    main()

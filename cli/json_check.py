#!/usr/bin/env python3
"""kestaro-cli's JSON against the same command's table or text and against
values worked out here from the draw file, so that neither side is taken on
trust. Usage: json_check.py CHECK ARGS... (see the subcommands below).
Exit 0 when everything holds; otherwise what did not, and exit 1."""
import argparse
import json
import re
import sys

NUMBERS = ["A", "B", "C", "D", "E", "Z"]
COMBINATIONS = 4417686  # 5 of 31 ascending, times the 26 bonus numbers left
SOURCES = {"--columns": "option", "見出しから": "header", "第N回の形から": "resultsPage",
           "既定": "default"}


class Mismatch(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Mismatch(message)


def unique_keys(pairs):
    keys = [key for key, _ in pairs]
    check(len(set(keys)) == len(keys), f"a key twice: {keys}")
    return dict(pairs)


def load(path):
    """The JSON of one command: plain ASCII, one line ending in LF."""
    data = open(path, "rb").read()
    check(all(byte < 0x80 for byte in data), "not plain ASCII")
    check(data.endswith(b"\n") and data.count(b"\n") == 1, f"not one line: {data[-40:]!r}")
    return json.loads(data, object_pairs_hook=unique_keys)


def is_int(value):
    return type(value) is int  # bool is an int to Python; JSON's true is not a number


def keys_are(value, keys, where):
    check(isinstance(value, dict) and list(value) == keys, f"{where}: keys {list(value)}")


def shown_percent(value, text, where):
    """The JSON number is the one the table shows: the nearest double to it."""
    check(type(value) is float, f"{where}: AVG {value!r} is not a decimal number")
    check(value == float(text) and f"{value:.2f}" == text, f"{where}: AVG {value} shown {text}")


def draws_of(path):
    rows = []
    for line in open(path, "rb").read().decode("ascii").splitlines():
        fields = line.split(",")
        if len(fields) == 6 and all(field.strip().isdigit() for field in fields):
            rows.append([int(field) for field in fields])
    return rows


def table_rows(path, csv):
    """The cells of each row; the first as the number the label shows."""
    lines = open(path, "rb").read().decode("ascii").split("\n")
    check(lines[-1] == "", "the table does not end in LF")
    lines = lines[:-1]
    if csv:
        check(lines[0] == "No,A,B,C,D,E,Z,AVG", f"CSV header {lines[0]!r}")
        return [line.split(",") for line in lines[1:]]
    rows = []
    for line in lines:
        cells = line.split("\t")
        check(re.fullmatch(r"No\. *\d+", cells[0]) is not None, f"label {cells[0]!r}")
        rows.append([cells[0][3:].strip()] + cells[1:])
    return rows


def rows(args):
    listing = load(args.json)
    table = table_rows(args.table, args.csv)
    check(isinstance(listing, list), "not an array")
    check(len(listing) == len(table), f"{len(listing)} objects, {len(table)} rows")
    keys = ["no"] + (["seed"] if args.kind == "search" else []) + NUMBERS
    keys += [] if args.kind == "history" else ["AVG"]
    draws = draws_of(args.draws) if args.draws else None
    for k, (row, cells) in enumerate(zip(listing, table)):
        where = f"row {k + 1}"
        keys_are(row, keys, where)
        check(len(cells) == 8, f"{where}: {len(cells)} cells")
        check(is_int(row["no"]) and row["no"] == int(cells[0]) == k + 1, f"{where}: no {row['no']}")
        for name, cell in zip(NUMBERS, cells[1:7]):
            check(is_int(row[name]) and row[name] == int(cell), f"{where}: {name} {row[name]} {cell}")
        if args.kind == "history":
            check(cells[7] == "", f"{where}: AVG cell {cells[7]!r}")
        else:
            shown_percent(row["AVG"], cells[7].removesuffix("%"), where)
        if args.seed is not None:
            check(is_int(row["seed"]) and row["seed"] == (args.seed + k) % 2**32,
                  f"{where}: seed {row['seed']}")
        if draws is None:
            continue
        numbers = [row[name] for name in NUMBERS]
        if args.kind == "history":
            check(numbers == draws[k], f"{where}: {numbers}, the file has {draws[k]}")
        elif args.kind == "distribution":
            counts = [sum(draw[p] == k + 1 for draw in draws) for p in range(6)]
            check(numbers == counts, f"{where}: {numbers}, counted {counts}")
            check(abs(row["AVG"] - sum(counts) * 100 / len(draws)) <= 0.005 + 1e-9, f"{where}: AVG")
        else:
            check(numbers[:5] == sorted(set(numbers[:5])) and numbers[5] not in numbers[:5],
                  f"{where}: not a combination: {numbers}")
            score = sum(sum(draw[p] == n for draw in draws) * 100 / len(draws)
                        for p, n in enumerate(numbers)) / 6
            check(abs(row["AVG"] - score) <= 0.005 + 1e-9 and score >= args.threshold - 1e-9,
                  f"{where}: AVG {row['AVG']}, scored {score}")


def best(args):
    value = load(args.json)
    text = open(args.text, "rb").read().decode(args.encoding)
    match = re.fullmatch(r"最高の出現率: (\S+%) \((\S+)\)\n出現率 (\S+)% 以上の組合せ: (\d+) / (\d+)\n",
                         text)
    check(match is not None, f"the text reads {text!r}")
    keys_are(value, ["best", "bestExact", "threshold", "reaching", "combinations"], "best")
    check(value["best"] == match[1], f"best {value['best']!r}")
    check(type(value["bestExact"]) in (int, float) and value["bestExact"] == float(match[2]),
          f"bestExact {value['bestExact']!r}, the text {match[2]}")
    check(f"{value['bestExact']:.2f}%" == value["best"], "best is not bestExact shown")
    check(type(value["threshold"]) in (int, float) and value["threshold"] == float(args.threshold)
          and match[3] == args.threshold, f"threshold {value['threshold']!r}")
    check(is_int(value["reaching"]) and value["reaching"] == int(match[4]), "reaching")
    check(is_int(value["combinations"]) and value["combinations"] == int(match[5]) == COMBINATIONS,
          "combinations")
    if args.reaching is not None:
        check(value["reaching"] == args.reaching, f"reaching {value['reaching']}, {args.reaching} by hand")


def import_report(args):
    value = load(args.json)
    text = open(args.text, "rb").read().decode(args.encoding)
    match = re.fullmatch(r"読み込み (\d+) 回、登録済みで省略 (\d+) 回、(追加予定|追加) (\d+) 回\n"
                         r"列 ([\d,]+) \((.+)\)、文字コード (.+?)(、新しい回からの一覧を古い順に直しました)?\n",
                         text)
    check(match is not None, f"the summary reads {text!r}")
    keys_are(value, ["read", "skipped", "appended", "columns", "columnSource", "encoding",
                     "warnings", "newestFirst"], "import")
    for key, shown in (("read", match[1]), ("skipped", match[2]), ("appended", match[4])):
        check(is_int(value[key]) and value[key] == int(shown), f"{key} {value[key]}, shown {shown}")
    check((match[3] == "追加予定") is args.dry_run, f"the summary of a dry run reads {match[3]}")
    check(value["columns"] == [int(c) for c in match[5].split(",")] and
          all(is_int(c) for c in value["columns"]), f"columns {value['columns']}")
    check(value["columnSource"] == SOURCES[match[6]], f"columnSource {value['columnSource']!r}")
    check(value["encoding"] == match[7], f"encoding {value['encoding']!r}, shown {match[7]}")
    check(value["newestFirst"] is (match[8] is not None), f"newestFirst {value['newestFirst']}")
    shown = [line for line in open(args.err, "rb").read().decode(args.encoding).split("\n")
             if line.startswith("注意")]
    check(value["warnings"] == shown == args.warning,
          f"warnings {value['warnings']}, shown {shown}, expected {args.warning}")


def partial(args):
    """An interrupted search: every element written is whole, so "]" ends the array."""
    data = open(args.json, "rb").read()
    check(all(byte < 0x80 for byte in data), "not plain ASCII")
    check(data.startswith(b"[{") and data.endswith(b"}") and b"\n" not in data,
          f"ends {data[-40:]!r}")
    listing = json.loads(data + b"]", object_pairs_hook=unique_keys)
    for k, row in enumerate(listing):
        keys_are(row, ["no", "seed"] + NUMBERS + ["AVG"], f"row {k + 1}")
        check(row["no"] == k + 1 and row["seed"] == args.seed + k, f"row {k + 1}: {row}")
        check(row["AVG"] >= args.threshold, f"row {k + 1}: AVG {row['AVG']}")


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="check", required=True)
    p = sub.add_parser("rows", help="history, distribution or search against its table")
    p.add_argument("kind", choices=["history", "distribution", "search"])
    p.add_argument("json")
    p.add_argument("table")
    p.add_argument("--csv", action="store_true", help="the table is the CSV form")
    p.add_argument("--draws", help="the draw file, to work the values out from")
    p.add_argument("--seed", type=int, help="the first candidate's clock seed")
    p.add_argument("--threshold", type=float, default=0)
    p.set_defaults(run=rows)
    p = sub.add_parser("best")
    p.add_argument("json")
    p.add_argument("text")
    p.add_argument("threshold", help="as typed")
    p.add_argument("--reaching", type=int, help="the count worked out by hand")
    p.add_argument("--encoding", default="utf-8")
    p.set_defaults(run=best)
    p = sub.add_parser("import", help="the report against the text summary and its stderr")
    p.add_argument("json")
    p.add_argument("text")
    p.add_argument("err", help="standard error of the JSON run")
    p.add_argument("--dry-run", action="store_true")
    p.add_argument("--warning", action="append", default=[], help="an expected warning")
    p.add_argument("--encoding", default="utf-8")
    p.set_defaults(run=import_report)
    p = sub.add_parser("partial", help="what an interrupted search wrote")
    p.add_argument("json")
    p.add_argument("--seed", type=int, required=True)
    p.add_argument("--threshold", type=float, default=0)
    p.set_defaults(run=partial)
    args = parser.parse_args()
    try:
        args.run(args)
    except (Mismatch, ValueError, KeyError, IndexError, UnicodeDecodeError) as error:
        print(f"{type(error).__name__}: {error}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

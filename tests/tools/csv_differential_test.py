#!/usr/bin/env python3
"""csv_differential_test.py KORVA_DECK: the word-list reader against Python's
csv module. Random tables are written with csv.writer in the dialects that
spreadsheets and scripts use (separators, line ends, quoting, encodings,
quotes and line breaks inside fields); korva-deck converts each with two
random columns, and every card must hold exactly the fields csv.reader reads
from the same bytes. The seed is fixed, so every run checks the same files."""

import csv
import io
import json
import os
import random
import subprocess
import sys
import tempfile

TABLES = 250
SEED = 20261208

# Characters code page 932 holds, so every encoding can carry every table.
PIECES = ["a", "Z", "7", " ", ",", ";", "\t", '"', "\n", "\r\n", "\r", "単語", "かな", "ｶﾅ", "①", "x"]
SEPARATORS = {",": "comma", "\t": "tab", ";": "semicolon"}
ENCODINGS = ["utf-8", "utf-8-sig", "utf-16", "cp932"]
LINE_ENDS = ["\r\n", "\n", "\r"]


def random_field(rng):
    return "".join(rng.choice(PIECES) for _ in range(rng.randint(0, 6)))


def random_table(rng):
    width = rng.randint(2, 5)
    return [[random_field(rng) for _ in range(width)] for _ in range(rng.randint(1, 12))]


def write_table(rng, table, path):
    separator = rng.choice(list(SEPARATORS))
    quoting = rng.choice([csv.QUOTE_MINIMAL, csv.QUOTE_MINIMAL, csv.QUOTE_ALL])
    encoding = rng.choice(ENCODINGS)
    text = io.StringIO(newline="")
    csv.writer(text, delimiter=separator, lineterminator=rng.choice(LINE_ENDS), quoting=quoting).writerows(table)
    with open(path, "wb") as f:
        f.write(text.getvalue().encode(encoding))
    return separator, encoding


def python_rows(path, encoding, separator):
    with open(path, encoding=encoding, newline="") as f:
        return list(csv.reader(f, delimiter=separator))


def korva_cards(tool, path, separator, columns, folder):
    deck = os.path.join(folder, "list.krv")
    args = [tool, "convert", "--separator", SEPARATORS[separator], "--columns", "%d,%d" % columns, path, deck]
    converted = subprocess.run(args, capture_output=True, text=True)
    if converted.returncode != 0:
        return "refused: " + converted.stderr.strip()
    shown = subprocess.run([tool, "show", deck], capture_output=True, text=True, check=True)
    return [card["items"] for card in json.loads(shown.stdout)["cards"]]


def field(row, column):
    return row[column - 1] if column <= len(row) else ""


def main():
    tool = sys.argv[1]
    rng = random.Random(SEED)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "list.csv")
        for number in range(TABLES):
            table = random_table(rng)
            separator, encoding = write_table(rng, table, path)
            rows = python_rows(path, encoding, separator)
            # A column that no record reaches is refused, so only those are asked for.
            width = max(2, max(len(row) for row in rows))
            columns = (rng.randint(1, width), rng.randint(1, width))
            expected = [[field(row, columns[0]), field(row, columns[1])] for row in rows]
            got = korva_cards(tool, path, separator, columns, folder)
            if got != expected:
                failures += 1
                print("table %d (%s, %r, columns %s): %r\n  csv: %r\n  korva-deck: %r"
                      % (number, encoding, separator, columns, open(path, "rb").read(), expected, got))
    print("%d tables compared with Python's csv module, %d differ" % (TABLES, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Reads every table of a data directory with python3-dbfread and compares
it with what `kaslo dump DIR TABLE --format json` prints: the same fields
(name, type, length, decimals) and the same live rows with the same values.

Usage: compare_dbfread.py KASLO DATA_DIR
Prints one line per difference and exits 1 when there is any; otherwise
prints "N tables, M records read the same" and exits 0.
"""
import datetime
import json
import pathlib
import subprocess
import sys

from dbfread import DBF


def same_value(kind, decimals, theirs, ours):
    """theirs: as dbfread gives it; ours: as decoded from the dump."""
    if kind in "NF":
        if theirs is None or ours is None:
            return theirs is None and ours is None
        return round(float(theirs), decimals) == round(float(ours), decimals)
    if kind == "D":
        if theirs is None or ours is None:
            return theirs is None and ours is None
        return isinstance(theirs, datetime.date) and theirs.isoformat() == ours
    if kind == "L":
        return theirs is ours
    # Character and memo: dbfread strips trailing blanks; a blank text is
    # null in the dump.
    if ours is None:
        return theirs in ("", None)
    return (theirs or "").rstrip(" ") == ours


def compare_table(kaslo, data_dir, path, faults):
    run = subprocess.run([kaslo, "dump", str(data_dir), path.stem, "--format", "json"],
                         capture_output=True)
    if run.returncode != 0:
        faults.append(f"{path.name}: kaslo dump failed: {run.stderr.decode('utf-8', 'replace').strip()}")
        return 0
    dump = json.loads(run.stdout.decode("utf-8"))
    table = DBF(str(path), encoding="latin-1", char_decode_errors="strict")

    theirs_fields = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
    ours_fields = [(f["name"], f["type"], f["length"], f["decimals"]) for f in dump["fields"]]
    if theirs_fields != ours_fields:
        faults.append(f"{path.name}: fields differ:\n  dbfread {theirs_fields}\n  kaslo   {ours_fields}")
        return 0

    theirs_rows = list(table)
    ours_rows = dump["records"]
    if len(theirs_rows) != len(ours_rows):
        faults.append(f"{path.name}: dbfread reads {len(theirs_rows)} rows, kaslo {len(ours_rows)}")
        return 0
    for n, (theirs, ours) in enumerate(zip(theirs_rows, ours_rows), start=1):
        for name, kind, _length, decimals in theirs_fields:
            if not same_value(kind, decimals, theirs[name], ours.get(name)):
                faults.append(f"{path.name} row {n} {name}: dbfread {theirs[name]!r}, kaslo {ours.get(name)!r}")
    return len(theirs_rows)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    kaslo, data_dir = sys.argv[1], pathlib.Path(sys.argv[2])
    tables = sorted(p for p in data_dir.iterdir() if p.suffix.lower() == ".dbf")
    faults = []
    records = sum(compare_table(kaslo, data_dir, path, faults) for path in tables)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"{len(tables)} tables, {records} records read the same")
    return 0


if __name__ == "__main__":
    sys.exit(main())

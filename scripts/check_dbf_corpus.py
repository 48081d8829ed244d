#!/usr/bin/python3
"""Runs `kaslo dump` on every table of a folder of dBase tables written by
other programs and compares what it prints with the folder's manifest.json
(what python3-dbfread reads from each table, or why it refuses it).

Usage: check_dbf_corpus.py [--kaslo KASLO] [--timeout SECONDS] [FOLDER]

FOLDER defaults to the environment variable KASLO_DBF_CORPUS; without
either the check is skipped (exit 77). KASLO defaults to kaslo beside the
build's bin folder (KASLO_BIN_DIR) or on PATH.

Each table ends in one of:
  same      the same fields and live rows as the manifest
  refused   a one-line refusal naming what the engine does not read, or of a
            table dbfread refuses too
  WRONG     a refusal whose message names another cause
  REFUSED   a refusal of a table dbfread reads, not for an unsupported field
            type or file kind
  MISMATCH  other fields or rows than the manifest's
  CRASH     killed by a signal, or output that is not what dump prints
  HANG      no answer within the timeout
Exit 0 when every table is "same" or "refused", 1 otherwise.
"""
import argparse
import datetime
import decimal
import hashlib
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
OK_RESULTS = ("same", "refused")


def rows_hash(rows):
    text = json.dumps(rows, separators=(",", ":"), ensure_ascii=False)
    return hashlib.sha256(text.encode("utf-8")).hexdigest()


def is_iso_date(value):
    if not isinstance(value, str) or not re.fullmatch(r"\d{4}-\d{2}-\d{2}", value):
        return False
    try:
        datetime.date.fromisoformat(value)
    except ValueError:
        return False
    return True


def as_reference(kind, decimals, value, numbers, blank_memo):
    """A value of the dump as the manifest's reader spells it. Where the dump
    cannot tell (a whole number stored with or without a point, an empty
    memo) the caller tries each spelling: numbers "decimals" (whole numbers
    as integers in fields without decimals), "int" (always) or "float"."""
    if kind in "CV":
        return "" if value is None else value
    if kind == "M":
        return blank_memo if value is None else value
    if kind in "NF" and isinstance(value, (int, float)):
        if numbers == "float":
            return float(value)
        if kind == "N" and float(value).is_integer() and (decimals == 0 or numbers == "int"):
            return int(value)
        if kind == "F" or decimals > 0:
            return float(value)
        return value
    if kind == "D":
        # The dump shows a stored text that is not a date as it stands (and
        # says so on stderr); the manifest's lenient reading has it as null.
        return value if is_iso_date(value) else None
    return value


def dump_hashes(fields, records):
    kinds = [(f["type"], f["decimals"]) for f in fields]
    hashes = set()
    for numbers in ("decimals", "int", "float"):
        for blank_memo in (None, ""):
            rows = [[as_reference(kind, decimals, value, numbers, blank_memo)
                     for (kind, decimals), value in zip(kinds, record)] for record in records]
            hashes.add(rows_hash(rows))
    return hashes


def reference_rows(table, entry):
    """dbfread's rows of the table as the manifest describes them, or None
    when this reading does not give the manifest's hash."""
    try:
        from dbfread import DBF, FieldParser
    except ImportError:
        return None

    class Lenient(FieldParser):
        def parse(self, field, data):
            try:
                return super().parse(field, data)
            except Exception:  # noqa: BLE001 - an unreadable value is null
                return None

    label = "dbfread" if isinstance(entry.get("dbfread"), dict) else "lenient"
    reading = entry.get(label)
    if not isinstance(reading, dict):
        return None
    options = dict(reading.get("options", {}))
    if label == "lenient":
        options["parserclass"] = Lenient

    def spelt(value):
        if isinstance(value, datetime.date):
            return value.isoformat()
        if isinstance(value, bytes):
            return "hex:" + value.hex()
        if isinstance(value, decimal.Decimal):
            return float(value)
        return value

    try:
        rows = list(DBF(str(table), encoding="latin-1", char_decode_errors="replace",
                        recfactory=lambda items: [spelt(v) for _, v in items], **options))
    except Exception:  # noqa: BLE001 - any refusal means no reference
        return None
    return (rows, reading) if rows_hash(rows) == reading["sha256"] else None


def respaced_rows(table, entry):
    """dbfread's rows of a table whose header gives a record length one byte
    short of its fields while the records lie one field length apart (the
    manifest's readings take the header's length), read from a copy with the
    length the spacing shows."""
    try:
        from dbfread import DBF
    except ImportError:
        return None
    header = entry["header"]
    reading = entry.get("dbfread")
    if not isinstance(reading, dict):
        return None
    wide = 1 + sum(field[2] for field in reading["fields"])
    count, start = header["records_in_header"], header["header_length"]
    if wide != header["record_length"] + 1 or not count or \
            header["bytes"] - start not in (count * wide, count * wide + 1):
        return None
    with tempfile.TemporaryDirectory(prefix="dbf-corpus-") as work:
        copy = pathlib.Path(work) / table.name
        data = bytearray(table.read_bytes())
        data[10:12] = wide.to_bytes(2, "little")
        copy.write_bytes(bytes(data))
        return [list(row.values()) for row in DBF(str(copy), encoding="latin-1", char_decode_errors="replace")]


def same_texts_trimmed(fields, records, reference, dbase_rules_rows):
    """(same, the first difference). The dump gives texts and memos without their trailing blanks; compare
    the values themselves. With a row count that only dBase's own rules give
    (the header's count), every dumped row must be one of dbfread's. A number
    dbfread cannot parse (null in its lenient reading) may be one the engine
    reads, as dBase does ("1234." padded with NULs)."""
    def normal(kind, value):
        if kind in "CMV":
            return (value or "").rstrip(" \0")
        if kind == "D":
            return value if is_iso_date(value) else None
        return value

    kinds = [f["type"] for f in fields]
    ours = [[normal(k, v) for k, v in zip(kinds, record)] for record in records]
    theirs = [[normal(k, v) for k, v in zip(kinds, row)] for row in reference]
    for row, their_row in zip(ours, theirs):
        for i, kind in enumerate(kinds):
            if kind in "NF" and their_row[i] is None and isinstance(row[i], (int, float)):
                their_row[i] = row[i]
    if len(ours) == len(theirs):
        for n, (row, their_row) in enumerate(zip(ours, theirs), start=1):
            for field, value, their_value in zip(fields, row, their_row):
                if value != their_value:
                    return False, f"row {n} {field['name']}: dbfread {their_value!r}, kaslo {value!r}"
        return True, ""
    if len(ours) == dbase_rules_rows:
        missing = [n for n, row in enumerate(ours, start=1) if row not in theirs]
        return not missing, f"row {missing[0]} is not one of dbfread's" if missing else ""
    return False, f"{len(ours)} rows, dbfread has {len(theirs)}"


def expected_readings(entry):
    """(label, fields, live rows, sha256) of every reading the manifest
    accepts for a table: dbfread's, dBase's own rules where they differ, and
    the lenient reading of a table dbfread refuses."""
    readings = []
    for label in ("dbfread", "lenient"):
        reading = entry.get(label)
        if not isinstance(reading, dict):
            continue
        readings.append((label, reading["fields"], reading["live_rows"], reading["sha256"]))
        rules = reading.get("dbase_rules")
        if isinstance(rules, dict):
            readings.append((label + "/dbase_rules", rules.get("fields", reading["fields"]),
                             rules["live_rows"], rules["sha256"]))
    return readings


def names_cause(message, unclaimed):
    """Whether a refusal names one of the things the engine does not claim
    to read (the manifest's "unclaimed")."""
    text = message.upper()
    for item in unclaimed:
        version = re.match(r"version byte (0x[0-9A-Fa-f]{2}) \((.*)\)", item)
        if version and version.group(1).upper() in text:
            return True
        # "FoxPro index T.CDX not supported" names a FoxPro table's kind.
        if version and "FOXPRO" in version.group(2).upper() and "FOXPRO" in text and "NOT SUPPORTED" in text:
            return True
        types = re.match(r"field types (.*)", item)
        if types:
            for letter in re.findall(r"'(.)'", types.group(1)):
                if f"TYPE '{letter.upper()}'" in text:
                    return True
        if ".FPT" in item.upper() and "FPT" in text and "NOT SUPPORTED" in text:
            return True
        if ".CDX" in item.upper() and "CDX" in text and "NOT SUPPORTED" in text:
            return True
    return False


class RecordShort(Exception):
    pass


def record_values(fields, pairs):
    """A dumped record's values in field order; a name that two fields share
    appears once for each."""
    values = [value for _, value in pairs]
    if len(values) != len(fields):
        raise RecordShort(f"a record has {len(values)} values for {len(fields)} fields")
    return values


def classify(table, entry, run, timed_out):
    if timed_out:
        return "HANG", "no answer"
    stdout = run.stdout.decode("utf-8", "replace")
    stderr = run.stderr.decode("utf-8", "replace").strip()
    if run.returncode < 0:
        return "CRASH", f"signal {-run.returncode}"
    if run.returncode != 0:
        lines = [line for line in stderr.splitlines() if line.strip()]
        message = lines[-1] if lines else ""
        if not message:
            return "CRASH", f"exit {run.returncode} without a message"
        unclaimed = entry["header"].get("unclaimed", [])
        if names_cause(message, unclaimed):
            return "refused", message
        if unclaimed:
            return "WRONG", message
        reading = entry.get("dbfread")
        if isinstance(reading, dict) and "MissingMemoFile" in reading.get("strict", "") and \
                re.search(r"memo file .* not found", message):
            return "refused", message
        if not isinstance(entry.get("dbfread"), dict):
            return "refused", message
        return "REFUSED", message
    try:
        dump = json.loads(stdout, object_pairs_hook=lambda pairs: pairs)
        dump = dict(dump)
        dump["fields"] = [dict(f) for f in dump["fields"]]
        fields = [[f["name"], f["type"], f["length"], f["decimals"]] for f in dump["fields"]]
        records = [record_values(fields, pairs) for pairs in dump["records"]]
    except RecordShort as e:
        return "MISMATCH", str(e)
    except (ValueError, KeyError, TypeError) as e:
        return "CRASH", f"unreadable output ({e})"
    notes = f" ({len(stderr.splitlines())} warning lines)" if stderr else ""
    hashes = dump_hashes(dump["fields"], records)
    closest = None
    for label, want_fields, live_rows, sha in expected_readings(entry):
        if [list(f) for f in want_fields] != fields:
            closest = closest or f"fields differ from {label}: {want_fields} / {fields}"
            continue
        if sha in hashes:
            return "same", f"{len(records)} rows as {label}{notes}"
        closest = closest or f"{len(records)} rows, {label} has {live_rows}"
    reference = reference_rows(table, entry)
    if reference is not None and [list(f) for f in reference[1]["fields"]] == fields:
        rows, reading = reference
        rules = reading.get("dbase_rules", {})
        same, difference = same_texts_trimmed(dump["fields"], records, rows, rules.get("live_rows"))
        if same:
            return "same", f"{len(records)} rows as dbfread, values compared one by one{notes}"
        closest = difference
    respaced = respaced_rows(table, entry)
    if respaced is not None and [list(f) for f in entry["dbfread"]["fields"]] == fields and \
            same_texts_trimmed(dump["fields"], records, respaced, None)[0]:
        return "same", f"{len(records)} rows as dbfread with the record length of the records' spacing{notes}"
    if not expected_readings(entry):
        return "MISMATCH", "read a table the manifest has no reading of"
    return "MISMATCH", closest or "no reading"


def companions(folder, table):
    stem = table.stem.lower()
    return [p for p in folder.iterdir() if p.is_file() and p.stem.lower() == stem]


def run_dump(kaslo, folder, table, timeout):
    """Dumps a copy of the table and its companions, so that nothing the
    engine may repair touches the folder, and a read-only one as found."""
    with tempfile.TemporaryDirectory(prefix="dbf-corpus-") as work:
        for path in companions(folder, table):
            target = pathlib.Path(work) / path.name
            shutil.copyfile(path, target)
            target.chmod(0o444)
        try:
            run = subprocess.run([kaslo, "dump", work, table.name, "--format", "json"],
                                 capture_output=True, timeout=timeout)
            return run, False
        except subprocess.TimeoutExpired:
            return None, True


def find_kaslo(given):
    if given:
        return given
    bin_dir = os.environ.get("KASLO_BIN_DIR")
    if bin_dir and (pathlib.Path(bin_dir) / "kaslo").exists():
        return str(pathlib.Path(bin_dir) / "kaslo")
    return shutil.which("kaslo")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", nargs="?", default=os.environ.get("KASLO_DBF_CORPUS"))
    parser.add_argument("--kaslo")
    parser.add_argument("--timeout", type=float, default=30)
    args = parser.parse_args()
    if not args.folder:
        print("no table folder given (argument or KASLO_DBF_CORPUS): skipped")
        return SKIPPED
    folder = pathlib.Path(args.folder)
    manifest_path = folder / "manifest.json"
    if not manifest_path.is_file():
        print(f"{manifest_path}: not found")
        return 1
    kaslo = find_kaslo(args.kaslo)
    if not kaslo:
        print("kaslo not found (--kaslo or KASLO_BIN_DIR)")
        return 1
    manifest = json.loads(manifest_path.read_text(encoding="utf-8"))

    counts = {}
    width = max(len(name) for name in manifest["tables"])
    for name in sorted(manifest["tables"]):
        entry = manifest["tables"][name]
        table = folder / name
        if not table.is_file():
            result, detail = "MISMATCH", "file missing from the folder"
        else:
            run, timed_out = run_dump(kaslo, folder, table, args.timeout)
            result, detail = classify(table, entry, run, timed_out)
        counts[result] = counts.get(result, 0) + 1
        print(f"{name:<{width}}  {result:<8}  {detail}")

    order = ("same", "refused", "WRONG", "REFUSED", "MISMATCH", "CRASH", "HANG")
    print(", ".join(f"{counts.get(r, 0)} {r}" for r in order) + f" of {len(manifest['tables'])} tables")
    return 0 if all(r in OK_RESULTS for r in counts) else 1


if __name__ == "__main__":
    sys.exit(main())

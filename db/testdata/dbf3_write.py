#!/usr/bin/python3
"""Writes a dBase III table with a memo file through python3-dbf, then reads
it back with python3-dbf and prints it in the plain form of xbase_read.pl
(a "fields" line, then one line per live row), so that a test can compare
that text with what the engine reads from the same files.

Usage: dbf3_write.py DIR/NAME.DBF
"""
import datetime
import sys

import dbf

FIELDS = "CODIGO N(8,0); NOME C(30); PRECO N(12,3); SALDO N(10,2); DTCAD D; ATIVO L; OBS M"
ROWS = [
    (1, "JOSÉ DA SILVA", 1500.5, -20.25, datetime.date(2020, 3, 1), True, "cliente antigo"),
    (2, "MARIA CONCEIÇÃO", 0.001, 0, datetime.date(1999, 12, 31), False, "linha 1\r\nlinha 2"),
    (3, "APAGADO", 7, 7, datetime.date(2000, 2, 29), True, "registro apagado"),
    (12345678, "", 99999999.999, -99999.99, None, None, "x" * 700),
    (None, "SEM CÓDIGO", None, None, datetime.date(2024, 1, 31), False, ""),
]
DELETED = 3


def plain(value, kind, decimals):
    if value is None:
        return "null"
    if kind in "NF":
        return f"{value:.{decimals}f}"
    if kind == "D":
        return value.strftime("%Y%m%d")
    if kind == "L":
        return "T" if value else "F"
    text = value.rstrip(" ")
    if not text:
        return "null"
    return "".join(f"\\x{ord(c):02x}" if ord(c) < 0x20 or c == "\\" else c for c in text)


def main():
    path = sys.argv[1]
    table = dbf.Table(path, FIELDS, dbf_type="db3", codepage="cp1252")
    table.open(dbf.READ_WRITE)
    for row in ROWS:
        table.append(row)
    with table[DELETED - 1] as record:
        dbf.delete(record)
    table.close()

    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    names = table.field_names
    infos = [table.field_info(n) for n in names]
    out = sys.stdout.buffer
    line = ["fields"] + [f"{n.upper()}:{chr(i.field_type)}:{i.length}:{i.decimal}" for n, i in zip(names, infos)]
    out.write(("\t".join(line) + "\n").encode("latin-1"))
    for number, record in enumerate(table, start=1):
        if dbf.is_deleted(record):
            continue
        values = [str(number)]
        for n, i in zip(names, infos):
            value = record[n]
            if isinstance(value, str) and chr(i.field_type) in "CM":
                value = value or None
            values.append(f"{n.upper()}={plain(value, chr(i.field_type), i.decimal)}")
        out.write(("\t".join(values) + "\n").encode("latin-1"))
    table.close()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Builds "STR0" string tables from plain text lists.

Text list: one entry per line, the decimal id, one tab, then the text exactly
as it is to appear (no escapes). Empty lines and lines starting with '#' are
skipped. Texts must be printable ASCII so that every code page shows them alike.

Table layout (little-endian): "STR0", u32 count, count index entries of
{u32 id, u32 byte offset from the table start, u32 length in UTF-16 units}
sorted by id, then the UTF-16LE texts back to back without terminators.

Usage:
  str0_gen.py OUT_DIR [--rc FILE.rc] NAME=LIST.txt ...
writes OUT_DIR/NAME.str0 for every list, and with --rc a resource script that
links each table as an RCDATA resource called NAME.
"""
import os
import struct
import sys


class ListError(Exception):
    pass


def read_list(path):
    entries = {}
    with open(path, encoding="ascii", newline="") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            if "\t" not in line:
                raise ListError(f"{path}:{number}: expected 'id<TAB>text'")
            id_text, text = line.split("\t", 1)
            if not id_text.isdigit() or int(id_text) > 0xFFFFFFFF:
                raise ListError(f"{path}:{number}: bad id '{id_text}'")
            ident = int(id_text)
            if ident in entries:
                raise ListError(f"{path}:{number}: id {ident} listed twice")
            if not text or any(not (0x20 <= ord(c) < 0x7F) for c in text):
                raise ListError(f"{path}:{number}: text must be non-empty printable ASCII")
            entries[ident] = text
    return entries


def build_table(entries):
    ids = sorted(entries)
    index = bytearray()
    texts = bytearray()
    offset = 8 + 12 * len(ids)
    for ident in ids:
        encoded = entries[ident].encode("utf-16-le")
        units = len(encoded) // 2
        index += struct.pack("<III", ident, offset + len(texts), units)
        texts += encoded
    return b"STR0" + struct.pack("<I", len(ids)) + bytes(index) + bytes(texts)


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except FileNotFoundError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out_dir = argv[0]
    rest = argv[1:]
    rc_path = None
    if rest[:1] == ["--rc"]:
        if len(rest) < 2:
            print("str0_gen.py: --rc needs a file name", file=sys.stderr)
            return 2
        rc_path, rest = rest[1], rest[2:]
    os.makedirs(out_dir, exist_ok=True)
    rc_lines = []
    try:
        for spec in rest:
            name, sep, list_path = spec.partition("=")
            if not sep or not name:
                raise ListError(f"expected NAME=LIST.txt, got '{spec}'")
            table_path = os.path.join(out_dir, name.lower() + ".str0")
            write_if_changed(table_path, build_table(read_list(list_path)))
            rc_path_text = os.path.abspath(table_path).replace("\\", "/")
            rc_lines.append(f'{name} RCDATA "{rc_path_text}"\n')
    except (ListError, OSError, UnicodeDecodeError) as e:
        print(f"str0_gen.py: {e}", file=sys.stderr)
        return 1
    if rc_path:
        write_if_changed(rc_path, "".join(rc_lines).encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

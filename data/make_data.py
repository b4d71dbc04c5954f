#!/usr/bin/env python3
"""Writes the shipped language files (Windows-1252, CR LF) and Kontakt.txt.

Run from anywhere: python3 data/make_data.py. The flag images and help documents are
committed as they are; only the texts are generated, so a translator edits the tables in data/texts/.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# The texts live in data/texts/*.tsv, one file per part of the program, read in file-name
# order: "key<TAB>German<TAB>English" a line, "#" starts a comment line. A new window adds its
# own file, so two people adding texts never edit the same lines.
TEXT_DIR = os.path.join(HERE, "texts")


def read_texts():
    texts = []
    for name in sorted(os.listdir(TEXT_DIR)):
        if not name.endswith(".tsv"):
            continue
        with open(os.path.join(TEXT_DIR, name), encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.rstrip("\n")
                if not line.strip() or line.startswith("#"):
                    continue
                fields = line.split("\t")
                if len(fields) != 3:
                    raise SystemExit("%s:%d: want key, German, English" % (name, number))
                texts.append(tuple(fields))
    return texts


CONTACT = [
    ("Name", "GetKelo Service"),
    ("Strasse", "Musterweg 1"),
    ("Adresse", "00000 Beispielstadt"),
    ("Telefon", "+00 000 000000-0"),
    ("Fax", "+00 000 000000-9"),
    ("Mail", "service@getkelo.example"),
    ("URL", "https://getkelo.example"),
]


def write_ini(path, section, pairs):
    lines = ["[%s]" % section] + ["%s=%s" % (k, v) for k, v in pairs]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


def main():
    texts = read_texts()
    keys = [t[0] for t in texts]
    dupes = {k for k in keys if keys.count(k) > 1}
    if dupes:
        raise SystemExit("duplicate keys: %s" % sorted(dupes))
    write_ini(os.path.join(HERE, "Deutsch.lng"), "Deutsch", [(k, de) for k, de, _ in texts])
    write_ini(os.path.join(HERE, "English.lng"), "English", [(k, en) for k, _, en in texts])
    write_ini(os.path.join(HERE, "Kontakt.txt"), "Kontakt", CONTACT)


if __name__ == "__main__":
    main()

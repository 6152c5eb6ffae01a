#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
# A board's packet laid out by hand, without index files: UTF-8 names in HEADERS.DAT, a poll
# in VOTING.DAT keyed by its vote record (status 'V'), a HEADERS.DAT section of no message,
# and TOREADER.EXT. Usage: hand_laid_packet.py PACKET TAG
import sys
import zipfile

path, tag = sys.argv[1], sys.argv[2]
dat, headers, voting = b" " * 128, b"[fa000]\nSender: Personne\n", b""


def pad(value, width):
    return (value + b" " * width)[:width]


for status, conf, author, subject, text in [
    (b" ", 2, "Zoë Ñúñez de la Montagne", "Réunion de la région lyonnaise", b"z" * 300 + b"\xe3" + "à bientôt".encode()),
    (b"V", 2, "ZOE", "Sondage", b""),
    (b" ", 9, "PAUL", "Noyau", "Compilé".encode()),
]:
    author, subject = (author + " " + tag).encode(), (subject + " " + tag).encode()
    blocks = (len(text) + 127) // 128
    section = b"[%x]\r\n" % len(dat)
    if status == b"V":
        voting += section + b"Poll: " + subject + b"\r\n"
    else:
        headers += section + b"Sender: " + author + b"\r\nUtf8: true\r\nSubject: " + subject + b"\r\n"
    dat += (status + b" " * 7 + b"03-07-9610:00" + pad(b"JEAN DUPONT", 25) + pad(author, 25)
            + pad(pad(subject, 25), 45) + pad(b"%d" % (1 + blocks), 6) + bytes([0xE1, conf, 0, 0, 0, 32])
            + pad(text, blocks * 128))

with zipfile.ZipFile(path, "w") as z:
    z.writestr("CONTROL.DAT", "HAND\r\n\r\n\r\n\r\n0,VELKTEST\r\n03-07-1996,10:00\r\nJEAN DUPONT\r\n\r\n0\r\n2\r\n"
               "2\r\n0\r\nC0\r\n2\r\nC2\r\n9\r\nC9\r\n")
    z.writestr("MESSAGES.DAT", dat)
    z.writestr("HEADERS.DAT", headers)
    z.writestr("VOTING.DAT", voting)
    z.writestr("TOREADER.EXT", "ALIAS %s\r\nAREA %s aE\r\n" % (tag, "9" if tag == "B" else "2"))

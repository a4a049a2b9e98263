#!/usr/bin/env python3
"""Checks the demo song's words: read back from the written file, its lyric
events joined as a lyrics window joins them (a syllable ending in "-" is
continued by the next one) give the rhyme's words, so the first screen a user
sees reads as words.

    check_demo_song.py make_demo_song.py
"""
import struct
import subprocess
import sys
import tempfile

RHYME = (
    "Twinkle twinkle little star how I wonder what you are "
    "Up above the world so high like a diamond in the sky "
    "Twinkle twinkle little star how I wonder what you are"
).split()


def vlq(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def lyric_events(path):
    data = open(path, "rb").read()
    assert data[:4] == b"MThd", "not a MIDI file"
    pos = 8 + struct.unpack(">I", data[4:8])[0]
    tracks = []
    while pos < len(data):
        name, length = data[pos:pos + 4], struct.unpack(">I", data[pos + 4:pos + 8])[0]
        tracks.append((name, data[pos + 8:pos + 8 + length]))
        pos += 8 + length
    _, melody = tracks[1]
    lyrics = []
    pos = 0
    status = 0
    while pos < len(melody):
        _, pos = vlq(melody, pos)
        if melody[pos] & 0x80:
            status = melody[pos]
            pos += 1
        if status == 0xFF:
            kind = melody[pos]
            length, pos = vlq(melody, pos + 1)
            if kind == 0x05:
                lyrics.append(melody[pos:pos + length].decode("ascii"))
            pos += length
        elif status in (0xF0, 0xF7):
            length, pos = vlq(melody, pos)
            pos += length
        else:
            pos += 1 if status & 0xF0 in (0xC0, 0xD0) else 2
    return lyrics


def main():
    with tempfile.TemporaryDirectory() as folder:
        song = folder + "/Demo.mid"
        subprocess.run([sys.executable, sys.argv[1], song], check=True)
        words = []
        joined = ""
        for syllable in lyric_events(song):
            if syllable in (",", "."):  # line and paragraph breaks
                continue
            if syllable.endswith("-"):
                joined += syllable[:-1]
                continue
            words.append(joined + syllable)
            joined = ""
    if words != RHYME:
        sys.exit("the demo song reads:\n  %s\nnot:\n  %s" % (" ".join(words), " ".join(RHYME)))
    print("the demo song reads as the rhyme's %d words" % len(words))


if __name__ == "__main__":
    main()

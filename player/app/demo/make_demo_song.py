#!/usr/bin/env python3
"""Writes the player's demo song: a type-1 MIDI file of about 30 seconds.

Track 1 carries the melody with one lyric syllable per note and the line (",")
and paragraph (".") breaks the lyric compiler writes; accompaniment and drums
follow, and an "MCtl" track marks where the climax starts ("CLST").

    make_demo_song.py OUTPUT.mid
"""
import struct
import sys

PPQ = 480
TEMPO = 500000  # 120 beats a minute: a bar of 4/4 lasts 2 s


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


class Track:
    def __init__(self):
        self.events = []  # (absolute tick, order, bytes)

    def add(self, tick, data, order=1):
        self.events.append((tick, order, bytes(data)))

    def meta(self, tick, kind, payload, order=0):
        self.add(tick, bytes([0xFF, kind]) + vlq(len(payload)) + payload, order)

    def note(self, tick, length, channel, key, velocity):
        self.add(tick, [0x90 | channel, key, velocity], 2)
        self.add(tick + length, [0x80 | channel, key, 0], 0)

    def chunk(self, name=b"MTrk"):
        body = b""
        now = 0
        end = 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += vlq(tick - now) + data
            now = tick
            end = max(end, tick)
        body += vlq(0) + b"\xFF\x2F\x00"
        return name + struct.pack(">I", len(body)) + body


# The melody: lines of (syllable, MIDI key, beats); the last syllable of a
# line ends it (",") and the last line of a paragraph ends that ("."). A
# syllable that the next one continues ends in "-", as the lyric compiler
# writes a word split into syllables.
VERSE = [
    [("Twin-", 60, 1), ("kle", 60, 1), ("twin-", 67, 1), ("kle", 67, 1), ("lit-", 69, 1), ("tle", 69, 1), ("star", 67, 2)],
    [("how", 65, 1), ("I", 65, 1), ("won-", 64, 1), ("der", 64, 1), ("what", 62, 1), ("you", 62, 1), ("are", 60, 2)],
]
CHORUS = [
    [("Up", 67, 1), ("a-", 67, 1), ("bove", 65, 1), ("the", 65, 1), ("world", 64, 1), ("so", 64, 1), ("high", 62, 2)],
    [("like", 67, 1), ("a", 67, 1), ("dia-", 65, 1), ("mond", 65, 1), ("in", 64, 1), ("the", 64, 1), ("sky", 62, 2)],
]
CHORDS = {60: [48, 55, 64], 65: [41, 57, 65], 67: [43, 55, 62], 64: [48, 55, 64], 62: [43, 55, 62], 69: [45, 57, 64]}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_demo_song.py OUTPUT.mid")
    tempo = Track()
    tempo.meta(0, 0x03, b"Twinkle Demo")
    tempo.meta(0, 0x51, struct.pack(">I", TEMPO)[1:])
    tempo.meta(0, 0x58, bytes([4, 2, 24, 8]))
    tempo.meta(0, 0x59, bytes([0, 0]))

    melody = Track()
    melody.meta(0, 0x03, b"Melody")
    melody.add(0, [0xC0, 73])  # flute
    chords = Track()
    chords.meta(0, 0x03, b"Piano")
    chords.add(0, [0xC1, 0])
    drums = Track()
    drums.meta(0, 0x03, b"Drums")
    control = Track()

    tick = PPQ * 4  # one bar of count-in
    paragraphs = [VERSE, CHORUS, VERSE]
    for p, paragraph in enumerate(paragraphs):
        if p == 1:
            control.meta(tick, 0x80, b"CLST")
        for l, line in enumerate(paragraph):
            last = l == len(paragraph) - 1
            for i, (text, key, beats) in enumerate(line):
                length = beats * PPQ
                if i == len(line) - 1:
                    # The compiler writes a break just before the syllable
                    # it follows, at that syllable's tick.
                    melody.meta(tick, 0x05, b"." if last else b",")
                melody.meta(tick, 0x05, text.encode("ascii"))
                melody.note(tick, length - 30, 0, key, 100)
                if i % 2 == 0:
                    for k in CHORDS.get(key, [48, 55, 64]):
                        chords.note(tick, 2 * PPQ - 20, 1, k, 70)
                tick += length
    # Drums over every bar from the count-in to the end.
    for beat in range(0, tick // PPQ):
        t = beat * PPQ
        drums.note(t, 60, 9, 36 if beat % 2 == 0 else 38, 90 if beat % 4 == 0 else 70)
        drums.note(t, 60, 9, 42, 50)
        drums.note(t + PPQ // 2, 60, 9, 42, 40)

    tracks = [tempo.chunk(), melody.chunk(), chords.chunk(), drums.chunk(), control.chunk(b"MCtl")]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
    with open(sys.argv[1], "wb") as out:
        out.write(header + b"".join(tracks))


if __name__ == "__main__":
    main()

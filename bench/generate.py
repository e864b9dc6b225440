#!/usr/bin/env python3
"""Writes deterministic benchmark inputs for tunelist and tunehdr, never committed.

usage: generate.py FOLDER SIZE_MB

FOLDER/list/songs.def   a definition list: comments, header lines and 50 include lines
FOLDER/list/frag_NN.txt the 50 fragments it includes, SIZE_MB in all: song entries such as
                        s000=field_theme,1,2,3, a marker every few dozen entries, comments and
                        ;#define lines, CR LF line ends
FOLDER/songs.ini        a song list of SIZE_MB for tunehdr, as tunelist writes them
FOLDER/small.def        a 10-line definition list with one small fragment, for start-up timing
"""
import os
import random
import sys

NAMES = ["field_theme", "town_day", "town_night", "dungeon", "battle", "boss_battle",
         "victory", "title", "mus_opening", "ending", "se_cursor", "se_decide", "se_cancel",
         "se_jump", "se_hit", "se_coin", "harbor", "forest", "castle", "shop"]
FRAGMENTS = 50
BLOCK = 256 * 1024


def fragment_block(rng, first_number):
    """About BLOCK bytes of fragment lines."""
    lines = []
    size = 0
    number = first_number
    while size < BLOCK:
        r = rng.random()
        if r < 0.025:
            number = rng.randrange(0, 900)
            line = "s*%03d=%s,%d,%d,%d" % (number, rng.choice(NAMES), 1, rng.randrange(9), 0)
        elif r < 0.05:
            line = "; %s %d" % (rng.choice(NAMES), rng.randrange(1000))
        elif r < 0.06:
            line = ";#define %s_VOLUME %d" % (rng.choice(NAMES).upper(), rng.randrange(128))
        else:
            line = "s000=%s,%d,%d,%d" % (rng.choice(NAMES), rng.randrange(1, 3),
                                         rng.randrange(10), rng.randrange(10))
        lines.append(line + "\r\n")
        size += len(line) + 2
    return "".join(lines).encode("ascii")


def song_list_block(rng):
    """About BLOCK bytes of an assembled song list."""
    lines = []
    size = 0
    number = 0
    while size < BLOCK:
        r = rng.random()
        if r < 0.03:
            line = "; %s" % rng.choice(NAMES)
        elif r < 0.04:
            line = ";#define %s_VOLUME %d" % (rng.choice(NAMES).upper(), rng.randrange(128))
        else:
            number = (number + 1) % 1000
            line = "s%03d=%s,%d,%d,%d" % (number, rng.choice(NAMES), rng.randrange(1, 3),
                                          rng.randrange(10), rng.randrange(10))
        lines.append(line + "\r\n")
        size += len(line) + 2
    return "".join(lines).encode("ascii")


def write_repeated(path, block, size):
    with open(path, "wb") as f:
        written = 0
        while written + len(block) <= size:
            f.write(block)
            written += len(block)
        # End on a whole line.
        rest = block[: size - written]
        f.write(rest[: rest.rfind(b"\n") + 1])


def main():
    folder, size_mb = sys.argv[1], int(sys.argv[2])
    total = size_mb * 1024 * 1024
    rng = random.Random(20261211)
    os.makedirs(os.path.join(folder, "list"), exist_ok=True)

    lines = ["; song list for the benchmark", ";#define SOUND_BANK_VERSION 3", "[tunebank]"]
    for i in range(FRAGMENTS):
        name = "frag_%02d.txt" % i
        write_repeated(os.path.join(folder, "list", name), fragment_block(rng, i * 20),
                       total // FRAGMENTS)
        lines.append("#include " + name)
        if i % 10 == 9:
            lines.append("; part %d" % (i // 10))
    with open(os.path.join(folder, "list", "songs.def"), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("ascii"))

    write_repeated(os.path.join(folder, "songs.ini"), song_list_block(rng), total)

    with open(os.path.join(folder, "small.def"), "wb") as f:
        f.write(b"; small\r\n;#define BANK 1\r\n[tunebank]\r\n#include small.txt\r\n"
                b"s001=a,1\r\n; b\r\n; c\r\n; d\r\n; e\r\n; f\r\n")
    with open(os.path.join(folder, "small.txt"), "wb") as f:
        f.write(b"s*001=title,1\r\ns000=field,1\r\n")


if __name__ == "__main__":
    main()

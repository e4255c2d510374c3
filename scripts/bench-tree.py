#!/usr/bin/env python3
# The generated file tree of the build and install benchmarks:
#   bench-tree.py DIR FILES SEED [FOLDERS MIN_BYTES MAX_BYTES]
# FILES files in 4 groups of sub-folders of 250 files each; sizes 1 to 39 KB (20 KB on
# average); even-numbered files are text, odd-numbered ones random bytes. With FOLDERS, the
# files are dealt round FOLDERS sub-folders of distinct names ("dir00" ...) in 3 groups, with
# sizes from MIN_BYTES to MAX_BYTES: the installed tree then has exactly FOLDERS folders.
import os, random, sys

out, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
folders = int(sys.argv[4]) if len(sys.argv) > 4 else 0
low, high = (int(sys.argv[5]), int(sys.argv[6])) if folders else (1024, 39 * 1024)
rnd = random.Random(seed)
words = ("quill pack setup kit archive folder group component registry shortcut wizard page "
         "language string table file version time size install remove repair modify").split()
text = " ".join(rnd.choice(words) for _ in range(400000)).encode()
for i in range(count):
    if folders:
        folder = i % folders
        d = os.path.join(out, "group%d" % (folder % 3), "dir%02d" % folder)
    else:
        group, folder = i % 4, (i // 4) // 250
        d = os.path.join(out, "group%d" % group, "dir%03d" % folder)
    os.makedirs(d, exist_ok=True)
    size = rnd.randrange(low, high + 1) if folders else rnd.randrange(low, high)
    if i % 2 == 0:
        at = rnd.randrange(0, len(text) - size)
        data = text[at:at + size]
        name = "file%05d.txt" % i
    else:
        data = os.urandom(size)
        name = "file%05d.bin" % i
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)

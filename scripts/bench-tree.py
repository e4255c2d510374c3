#!/usr/bin/env python3
# The generated file tree of the build and install benchmarks:
#   bench-tree.py DIR FILES SEED
# FILES files in 4 groups of sub-folders of 250 files each; sizes 1 to 39 KB (20 KB on
# average); even-numbered files are text, odd-numbered ones random bytes.
import os, random, sys

out, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rnd = random.Random(seed)
words = ("quill pack setup kit archive folder group component registry shortcut wizard page "
         "language string table file version time size install remove repair modify").split()
text = " ".join(rnd.choice(words) for _ in range(400000)).encode()
for i in range(count):
    group, folder = i % 4, (i // 4) // 250
    d = os.path.join(out, "group%d" % group, "dir%03d" % folder)
    os.makedirs(d, exist_ok=True)
    size = rnd.randrange(1024, 39 * 1024)
    if i % 2 == 0:
        at = rnd.randrange(0, len(text) - size)
        data = text[at:at + size]
        name = "file%05d.txt" % i
    else:
        data = os.urandom(size)
        name = "file%05d.bin" % i
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)

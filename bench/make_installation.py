#!/usr/bin/env python3
"""Writes a large installation for the launch benchmark: the demo's
installation with its UserDataCache tree grown to about 10,000 files in a few
hundred folders (about 200 MB, sizes like real support content: mostly small
files, a few large ones). The same tree on every run (fixed seed).

usage: make_installation.py DEMO_FOLDER TARGET_FOLDER"""

import os
import random
import shutil
import sys

demo, target = sys.argv[1], sys.argv[2]
shutil.rmtree(target, ignore_errors=True)
shutil.copytree(os.path.join(demo, 'install'), os.path.join(target, 'install'))
shutil.copytree(os.path.join(demo, 'acad'), os.path.join(target, 'acad'))

rng = random.Random(2024)
cache = os.path.join(target, 'install', 'UserDataCache')
folders = []
for top in ('Support', 'Plot Styles', 'Templates', 'Textures', 'Fonts', 'Details', 'Tools'):
    for i in range(rng.randint(15, 25)):
        middle = os.path.join(cache, top, 'Group %02d' % i)
        folders.append(middle)
        for j in range(rng.randint(0, 3)):
            folders.append(os.path.join(middle, 'Set %d' % j))
for folder in folders:
    os.makedirs(folder, exist_ok=True)


def size():
    r = rng.random()
    if r < 0.70:
        return rng.randint(1 << 10, 8 << 10)
    if r < 0.95:
        return rng.randint(8 << 10, 48 << 10)
    if r < 0.995:
        return rng.randint(48 << 10, 192 << 10)
    return rng.randint(512 << 10, 1536 << 10)


extensions = ('.dwg', '.lsp', '.atc', '.png', '.ctb', '.shx', '.xml', '.pat')
pool = rng.randbytes(2 << 20)
total = 0
for n in range(10000):
    length = size()
    start = rng.randrange(0, len(pool) - length) if length < len(pool) else 0
    data = (pool * (1 + length // len(pool)))[start:start + length]
    path = os.path.join(rng.choice(folders), 'item%05d%s' % (n, rng.choice(extensions)))
    with open(path, 'wb') as f:
        f.write(data)
    total += length
print('installation: %d files in %d folders, %.0f MB' % (10000, len(folders), total / 1e6))

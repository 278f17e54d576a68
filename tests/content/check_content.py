#!/usr/bin/env python3
"""Checks a built variant data directory the way the show will read it.

    check_content.py --qvtool QVTOOL --data DIR --variant A|B|C
                     [--screens 1024x768,1920x1080,...] [--ticks N]

Read through `qvtool parse`, for the normal and the wide scripts:
  * every scene script reached from scenescript.txt (by `continue` and by
    each name of a `random`) opens and builds at least one scene, and from
    every one of them the chain leads back to scenescript.txt;
  * every layer file a header names exists, and every picture a block names
    is in the directory: a .bmp the show caches (no "STILL" in its name), or
    in a placeholder file one of the placeholders STILL1.JPG ... STILL10.JPG;
  * drawn layers only (1-21; variant A 1-22);
  * along every path through the loop, no placeholder is asked for twice in a
    row (the show would then leave the second layer without its picture).
The directory holds what the programs open by fixed names: base.bmp and the
ten default stills, the variant's music file, nofile.bmp in C; every bitmap
is an uncompressed 24-bit BMP, and there are at most 14 of them (the number
the show has always kept in memory).
Run through `qvtool trace` with ten photos at each screen size:
  * the show hands over to another script at least every 40 s and comes
    back to scenescript.txt's scenes (the scene clock restarts), so it never
    stops changing;
  * every drawn layer that is not fully transparent has a texture and lies at
    least partly on screen; a photo smaller than the screen lies wholly on
    it, one larger than the screen covers all of it;
  * all ten photos are shown; with no photos at all, every placeholder
    still has a picture (the backdrop).
Prints one line per fault and exits 1 when there is any.
"""
import argparse
import json
import math
import os
import re
import subprocess
import sys

MAX_HANDOVER_GAP_TICKS = 800     # 40 s
PLACEHOLDER = re.compile(r'STILL([1-9]|10)\.JPG')

faults = []


def fault(text):
    faults.append(text)
    print('FAULT: ' + text)


def data_dir_of(variant):
    return f'C:\\WINDOWS\\system32\\QUORvelk{variant.lower()}src\\'


class Directory:
    """Maps the show's paths onto the built directory, without regard to case."""

    def __init__(self, root, variant):
        self.root, self.prefix = root, data_dir_of(variant).upper()
        self.files = {}
        for folder, _, names in os.walk(root):
            for n in names:
                full = os.path.join(folder, n)
                rel = os.path.relpath(full, root).replace(os.sep, '\\')
                self.files[rel.upper()] = full

    def find(self, windows_path):
        p = windows_path.upper()
        if not p.startswith(self.prefix):
            return None
        return self.files.get(p[len(self.prefix):])


def run(args):
    out = subprocess.run(args, capture_output=True, text=True)
    if out.returncode != 0:
        fault(f'{" ".join(args)}: exit {out.returncode}: {out.stderr.strip()}')
        return []
    return [json.loads(line) for line in out.stdout.splitlines() if line.strip()]


MUSIC = {'A': 'Supernova.mp3', 'B': 'SleepyTime.mp3', 'C': 'Interlude3a.mp3'}


def check_files(o, d):
    needed = ['BASE.BMP', MUSIC[o.variant].upper()] + [f'STILL{n}.JPG' for n in range(1, 11)]
    if o.variant == 'C':
        needed.append('NOFILE.BMP')
    for name in needed:
        if name not in d.files:
            fault(f'{o.variant}: {name.lower()} missing')
    bitmaps = [n for n in d.files if n.endswith('.BMP') and '\\' not in n]
    if len(bitmaps) > 14:
        fault(f'{o.variant}: {len(bitmaps)} bitmaps in the directory, more than 14')
    for name in bitmaps:
        with open(d.files[name], 'rb') as f:
            head = f.read(54)
        bits = int.from_bytes(head[28:30], 'little') if len(head) == 54 else 0
        compression = int.from_bytes(head[30:34], 'little') if len(head) == 54 else -1
        height = int.from_bytes(head[22:26], 'little', signed=True) if len(head) == 54 else 0
        if head[:2] != b'BM' or bits != 24 or compression != 0 or height <= 0:
            fault(f'{o.variant}: {name.lower()} is no bottom-up uncompressed 24-bit BMP')
    for jpeg in [n for n in d.files if n.endswith('.JPG')]:
        with open(d.files[jpeg], 'rb') as f:
            if f.read(2) != b'\xff\xd8':
                fault(f'{o.variant}: {jpeg.lower()} is no JPEG')


def scene_dir(variant, shape):
    return data_dir_of(variant) + shape + '\\'


def check_scripts(o, d, shape):
    """Static checks; returns the placeholder requests of each script."""
    sdir = scene_dir(o.variant, shape)
    start = (sdir + 'scenescript.txt').lower()
    todo, seen, edges, requests = [start], set(), {}, {}
    while todo:
        script = todo.pop()
        if script in seen:
            continue
        seen.add(script)
        host = d.find(script)
        where = f'{o.variant} {shape} {script.rsplit(chr(92), 1)[-1]}'
        if host is None:
            fault(f'{where}: scene script missing')
            continue
        edges[script] = set()
        built, reqs = 0, []
        # One reading per pick, so every name of a `random` is followed.
        for pick in range(10):
            headers = run([o.qvtool, 'parse', '--variant', o.variant, '--dir', sdir, '--pick', str(pick),
                           '--scene', host])
            for h in headers:
                if h['chained']:
                    edges[script].add(h['resolved'].lower())
                    todo.append(h['resolved'].lower())
                elif not h['ranIntoEnd'] and pick == 0:
                    n, r = scene_requests(o, d, where, h, sdir)
                    built += n
                    reqs += r
        if built == 0:
            fault(f'{where}: builds no scene')
        requests[script] = reqs
    # Every script must lead back to the first one.
    for script in edges:
        reach, stack = set(), [script]
        while stack:
            for nxt in edges.get(stack.pop(), ()):
                if nxt not in reach:
                    reach.add(nxt)
                    stack.append(nxt)
        if start not in reach:
            fault(f'{o.variant} {shape} {script.rsplit(chr(92), 1)[-1]}: the chain never comes back to scenescript.txt')
    check_placeholder_order(o, shape, start, edges, requests)


def scene_requests(o, d, where, header, sdir):
    """Checks one header's layer file; returns (layers placed, placeholder requests)."""
    path = header['resolved']
    host = d.find(path) if path else None
    if host is None:
        fault(f'{where}: layer file {header["name"]} missing')
        return 0, []
    change = header['effect'] == 4
    args = [o.qvtool, 'parse', '--variant', o.variant, '--dir', sdir, '--layer', host]
    blocks = run(args + (['--change'] if change else []))
    placeholder_file = path.find('still_', 1) > 0
    placed, reqs = 0, []
    last_layer = 22 if o.variant == 'A' else 21
    for i, b in enumerate(blocks):
        name = f'{where} -> {path.rsplit(chr(92), 1)[-1]} block {i + 1}'
        if b['ranIntoEnd'] and i + 1 < len(blocks):
            fault(f'{name}: longer than 40 lines')
        if not b['set']:
            continue
        placed += 1
        layer = b['layer']
        if layer == 'unset' or not 1 <= int(layer) <= 22:
            fault(f'{name}: layer {layer} is never drawn')
        elif int(layer) > last_layer:
            fault(f'{name}: layer {layer} is not drawn by variant {o.variant}')
        source = b['resolved'] or ''
        if change and not b['name']:
            continue
        upper = source.upper()
        if placeholder_file:
            if not PLACEHOLDER.search(upper[1:]):
                fault(f'{name}: {b["name"]} is no placeholder in a placeholder file')
            reqs.append(upper)
            continue
        if d.find(source) is None:
            fault(f'{name}: picture {b["name"]} is not in the directory')
        elif not upper.endswith('.BMP') or 'STILL' in upper[1:]:
            fault(f'{name}: picture {b["name"]} is not one the show keeps in memory')
    if len(blocks) > 31:
        fault(f'{where}: {path} has more than 30 blocks')
    return placed, reqs


def check_placeholder_order(o, shape, start, edges, requests):
    """Walks every loop start -> ... -> start and looks for a placeholder asked
    for twice in a row (across script boundaries too)."""
    def walk(script, path, sequence):
        sequence = sequence + requests.get(script, [])
        for nxt in sorted(edges.get(script, ())):
            if nxt == start:
                loop = sequence + sequence  # the next pass follows this one
                for a, b in zip(loop, loop[1:]):
                    if a == b:
                        names = [s.rsplit(chr(92), 1)[-1] for s in path + [nxt]]
                        fault(f'{o.variant} {shape} {" -> ".join(names)}: '
                              f'{a.rsplit(chr(92), 1)[-1]} asked for twice in a row')
                        return
            elif nxt not in path:
                walk(nxt, path + [nxt], sequence)
    walk(start, [start], [])


def camera_project(start, w, h):
    d, fov = start['distance'], start['fov']
    t = math.tan(fov / 2)
    aspect = w / h
    upright = w < h

    def project(x, y, z):
        depth = d - z
        vx, vy = (y, -x) if upright else (x, y)
        return vx / (depth * t * aspect), vy / (depth * t)
    return project


def check_trace(o, d, screen, pick, photos=10):
    w, h = (int(v) for v in screen.split('x'))
    out = subprocess.run([o.qvtool, 'trace', '--variant', o.variant, '--data', o.data, '--screen', screen,
                          '--ticks', str(o.ticks), '--photos', str(photos), '--pick', str(pick)],
                         capture_output=True, text=True)
    where = f'{o.variant} {screen}' + ('' if photos == 10 else f' with {photos} photos')
    if out.returncode != 0:
        fault(f'{where}: qvtool trace exit {out.returncode}')
        return
    lines = out.stdout.splitlines()
    start = json.loads(lines[0])['start']
    if start['result'] != 0:
        fault(f'{where}: the show does not start (result {start["result"]})')
        return
    project = camera_project(start, w, h)
    last_drawn = 22 if o.variant == 'A' else 21
    previous_time, last_handover, handovers = 0.0, 0, 0
    shown, reported = set(), set()
    for line in lines[1:]:
        tick = json.loads(line)
        n = tick['tick']
        if tick['sceneTime'] < previous_time:
            handovers += 1
            last_handover = n
        previous_time = tick['sceneTime']
        if n - last_handover > MAX_HANDOVER_GAP_TICKS:
            fault(f'{where}: no hand-over between ticks {last_handover} and {n}: the show stops changing')
            return
        for layer in tick['layers']:
            i = layer['i']
            if not layer['started'] or i > last_drawn:
                continue
            corners = layer['corners']
            alpha = int(corners[0][3][:2], 16)
            if alpha == 0:
                continue
            texture = layer['texture']
            key = (i, texture)
            if not texture:
                if key not in reported:
                    fault(f'{where} tick {n}: layer {i} is drawn without a picture')
                    reported.add(key)
                continue
            pts = [project(c[0], c[1], c[2]) for c in corners]
            xs, ys = [p[0] for p in pts], [p[1] for p in pts]
            if max(xs) < -1 or min(xs) > 1 or max(ys) < -1 or min(ys) > 1:
                if key not in reported:
                    fault(f'{where} tick {n}: layer {i} ({texture}) is off screen')
                    reported.add(key)
                continue
            if 'PHOTO' not in texture.upper():
                continue
            if alpha == 255:
                shown.add(texture.upper())
            smaller = max(xs) - min(xs) < 2 and max(ys) - min(ys) < 2
            slack = 0.005
            if smaller and (min(xs) < -1 - slack or max(xs) > 1 + slack or min(ys) < -1 - slack
                            or max(ys) > 1 + slack):
                if key not in reported:
                    fault(f'{where} tick {n}: photo on layer {i} is cut by the screen edge '
                          f'(x {min(xs):.3f}..{max(xs):.3f}, y {min(ys):.3f}..{max(ys):.3f})')
                    reported.add(key)
            elif not smaller and (min(xs) > -1 or max(xs) < 1 or min(ys) > -1 or max(ys) < 1):
                if key not in reported:
                    fault(f'{where} tick {n}: full-screen photo on layer {i} leaves the screen edge bare '
                          f'(x {min(xs):.3f}..{max(xs):.3f}, y {min(ys):.3f}..{max(ys):.3f})')
                    reported.add(key)
    if handovers < 3:
        fault(f'{where}: only {handovers} hand-overs in {o.ticks} ticks')
    if len(shown) != photos:
        fault(f'{where}: {len(shown)} of the {photos} photos shown in {o.ticks} ticks')


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--qvtool', required=True)
    p.add_argument('--data', required=True)
    p.add_argument('--variant', choices='ABC', required=True)
    p.add_argument('--screens', default='1024x768,1280x1024,768x1024,1920x1080,1280x800,1080x1920')
    p.add_argument('--ticks', type=int, default=1800)
    o = p.parse_args()
    d = Directory(o.data, o.variant)
    check_files(o, d)
    for shape in ('normal', 'wide'):
        check_scripts(o, d, shape)
    for k, screen in enumerate(o.screens.split(',')):
        check_trace(o, d, screen, k % 2)
    # A user who removed every picture: each placeholder shows the backdrop.
    check_trace(o, d, o.screens.split(',')[0], 1, photos=0)
    print(f'{o.variant}: {len(faults)} faults')
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Draws frames of a traced show as pictures, to look at scene scripts
without Windows.

    preview.py --qvtool QVTOOL --data DIR --variant B --screen 1024x768
               --ticks 200,400 --out PREFIX [--pick N]

Runs `qvtool trace` with ten photos and draws the layers of each given tick
as the show draws them: in record order, each picture cut to the rows the
show uses, tinted by its colour, blended by its alpha and put through the
camera's perspective. A photo stands in as the show prepares it: the default
still of that number fitted into a screen-proportioned canvas on the
backdrop. Writes PREFIX-TICK.png for each tick. Needs ImageMagick.
"""
import argparse
import json
import math
import os
import re
import subprocess
import tempfile


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--qvtool', required=True)
    p.add_argument('--data', required=True)
    p.add_argument('--variant', choices='ABC', default='B')
    p.add_argument('--screen', default='1024x768')
    p.add_argument('--ticks', required=True)
    p.add_argument('--out', required=True)
    p.add_argument('--pick', default='0')
    o = p.parse_args()
    w, h = (int(v) for v in o.screen.split('x'))
    wanted = sorted(int(t) for t in o.ticks.split(','))
    trace = subprocess.run([o.qvtool, 'trace', '--variant', o.variant, '--data', o.data, '--screen', o.screen,
                            '--ticks', str(wanted[-1]), '--photos', '10', '--pick', o.pick],
                           capture_output=True, text=True, check=True).stdout.splitlines()
    start = json.loads(trace[0])['start']
    d, t = start['distance'], math.tan(start['fov'] / 2)
    upright = w < h

    def pixel(x, y, z):
        depth = d - z
        vx, vy = (y, -x) if upright else (x, y)
        nx, ny = vx / (depth * t * (w / h)), vy / (depth * t)
        return (nx + 1) / 2 * w, (1 - ny) / 2 * h

    files = {n.lower(): os.path.join(o.data, n) for n in os.listdir(o.data)}
    last = 22 if o.variant == 'A' else 21
    with tempfile.TemporaryDirectory() as tmp:
        canvases = {}

        def texture(name):
            m = re.search(r'PHOTO(\d+)\.BMP$', name.upper())
            if not m:
                return files.get(name.rsplit('\\', 1)[-1].lower())
            n = int(m.group(1))
            if n not in canvases:
                cw, ch = int(0.64 * w), int(0.64 * h)
                if cw <= ch or cw > 1248 or ch > 936:
                    cw, ch = (1560, 936) if 0.5 < h / w < 0.75 and cw > ch else (1248, 936)
                path = os.path.join(tmp, f'photo{n}.png')
                subprocess.run(['convert', files['base.bmp'], '-resize', f'{cw}x{ch}!',
                                files[f'still{n}.jpg'], '-resize', f'{cw}x{ch}', '-gravity', 'center',
                                '-composite', path], check=True)
                canvases[n] = path
            return canvases[n]

        for line in trace[1:]:
            tick = json.loads(line)
            if tick['tick'] not in wanted:
                continue
            args = ['convert', '-size', f'{w}x{h}', 'xc:black']
            for layer in tick['layers']:
                if not layer['started'] or layer['i'] > last:
                    continue
                c = layer['corners']
                argb = c[0][3]
                a, r, g, b = (int(argb[i:i + 2], 16) for i in (0, 2, 4, 6))
                src = texture(layer['texture']) if layer['texture'] else None
                if a == 0 or src is None:
                    continue
                tw, th = (int(v) for v in subprocess.run(['identify', '-format', '%w %h', src],
                                                          capture_output=True, text=True).stdout.split())
                v0, v1 = c[0][5], c[2][5]
                top, rows = int(v0 * th), max(1, int((v1 - v0) * th))
                pts = [pixel(*c[k][:3]) for k in (1, 0, 3, 2)]
                src_pts = [(0, 0), (tw, 0), (tw, rows), (0, rows)]
                spec = ' '.join(f'{sx},{sy} {dx:.1f},{dy:.1f}' for (sx, sy), (dx, dy) in zip(src_pts, pts))
                args += ['(', src, '-crop', f'{tw}x{rows}+0+{top}', '+repage',
                         '-channel', 'R', '-evaluate', 'multiply', f'{r / 255:.3f}',
                         '-channel', 'G', '-evaluate', 'multiply', f'{g / 255:.3f}',
                         '-channel', 'B', '-evaluate', 'multiply', f'{b / 255:.3f}', '+channel',
                         '-alpha', 'set', '-channel', 'A', '-evaluate', 'set', f'{a / 255 * 100:.1f}%',
                         '+channel', '-virtual-pixel', 'transparent', '+distort', 'Perspective', spec, ')']
            args += ['-background', 'none', '-layers', 'flatten', '-alpha', 'off',
                     f'{o.out}-{tick["tick"]:05d}.png']
            subprocess.run(args, check=True)


if __name__ == '__main__':
    main()

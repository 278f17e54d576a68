#!/usr/bin/env python3
"""Writes the scene scripts and layer files of one variant data directory.

    scenes.py --variant A|B|C --shape normal|wide [--logo NAME] OUTDIR

The show is described here as moves of layers between key frames; this file
turns each move into the blocks the screen savers read: the first two key
frames of a layer become a placement (effect photo), every later key frame a
change block (effect change) that goes on from wherever the layer stands, so
a picture can fade in, drift for a long time and fade out at a constant pace.
Blocks due at the same moment share one layer file.

World units are those of the fixed camera: the layers lie at depth 14 to 15,
the eye 202 to 260 units away, so on a 4:3 screen about 260 x 196 units are
visible and on a 16:9 one about 277 x 156 (portrait screens see the same
world turned a quarter turn). Each shape keeps its photos inside a safe area
seen on every screen of that shape, and its backdrop covers the largest view.

The loop: scenescript.txt (title, one big photo panning, a slow zoom on a
framed print) -> gallery.txt (two prints sliding past each other, then three
in columns) -> at random zoom.txt or drift.txt -> scenescript.txt. Each hand-
over turns the placeholder rotation one step, so every pass shows the ten
pictures, starting three pictures further on than the pass before.
"""
import argparse
import os
import sys

SHAPES = {
    # sw, sh: half the safe area; aspect: of a prepared picture (its canvas);
    # cover: size of the backdrop; bleed: width of a photo that fills the view.
    'normal': dict(sw=114.0, sh=88.0, aspect=4.0 / 3.0, cover=(400.0, 216.0), bleed=310.0),
    'wide': dict(sw=127.0, sh=77.0, aspect=5.0 / 3.0, cover=(340.0, 196.0), bleed=380.0),
}

# The show draws rows 3.4 % to 97 % of a picture: a layer is this much less
# tall than its picture's proportion, so nothing looks squeezed.
SHOWN_ROWS = 0.936
BORDER = 3.5             # white border of a print
SHADOW_OFFSET = (1.8, -2.4)
SHADOW_ALPHA = 0.35

LAYER_BACKDROP = 1
LAYER_BLEED = 18         # full-screen photos, above every print
LAYER_TITLE = 20
LAYER_LOGO = 21
LAYER_WATERMARK = 22     # drawn by variant A only


def num(value):
    text = f'{value:.2f}'.rstrip('0').rstrip('.')
    return '0' if text in ('-0', '') else text


class Key:
    """One key frame of a layer: time, centre, size, turn, opacity, grey."""

    def __init__(self, t, x, y, w, h, rot=0.0, a=255.0, grey=255.0):
        self.t, self.x, self.y, self.w, self.h = t, x, y, w, h
        self.rot, self.a, self.grey = rot, a, grey


class Script:
    """One scene script and the layer files it applies."""

    def __init__(self, name, prefix, about):
        self.name, self.prefix, self.about = name, prefix, about
        self.events = {}     # (time, kind) -> list of (comment, block text)
        self.end = 0.0
        self.handover = None  # ('continue', name) or ('random', [names])

    def add(self, t, kind, comment, text):
        self.events.setdefault((round(t, 2), kind), []).append((comment, text))

    def anim(self, layer, source, keys, kind, comment):
        """A layer's moves: placement from keys[0] to keys[1], then changes."""
        k0, k1 = keys[0], keys[1]
        lines = ['set', f'layer={layer}', f'source=.\\{source}', f'time={num(k1.t - k0.t)}',
                 f'sx={num(k0.x)}', f'sy={num(k0.y)}', f'ex={num(k1.x)}', f'ey={num(k1.y)}',
                 f'swidth={num(k0.w)}', f'sheight={num(k0.h)}',
                 f'ewidth={num(k1.w)}', f'eheight={num(k1.h)}',
                 f'salpha={num(k0.a)}', f'ealpha={num(k1.a)}']
        if k0.grey != 255 or k1.grey != 255:
            for c in ('red', 'green', 'blue'):
                lines.append(f's{c}={num(k0.grey)}')
            for c in ('red', 'green', 'blue'):
                lines.append(f'e{c}={num(k1.grey)}')
        if k0.rot or k1.rot:
            lines += [f'srot={num(k0.rot)}', f'erot={num(k1.rot)}']
        lines.append('end')
        self.add(k0.t, kind, comment, '\n'.join(lines))
        for a, b in zip(keys[1:], keys[2:]):
            lines = ['set', f'layer={layer}', f'time={num(b.t - a.t)}',
                     f'ex={num(b.x)}', f'ey={num(b.y)}', f'ewidth={num(b.w)}', f'eheight={num(b.h)}',
                     f'ealpha={num(b.a)}']
            if a.grey != b.grey:
                lines += [f'e{c}={num(b.grey)}' for c in ('red', 'green', 'blue')]
            if a.rot or b.rot:
                lines.append(f'erot={num(b.rot)}')
            lines.append('end')
            self.add(a.t, 'change', comment, '\n'.join(lines))

    def write(self, outdir):
        files = []
        order = {'change': 0, 'plain': 1, 'still': 2}
        headers = []
        for n, (t, kind) in enumerate(sorted(self.events, key=lambda e: (e[0], order[e[1]]))):
            suffix = {'change': 'change', 'plain': 'prints', 'still': 'still_photos'}[kind]
            fname = f'{self.prefix}_{n + 1:02d}_{suffix}.txt'
            blocks = self.events[(t, kind)]
            if len(blocks) > 30:
                sys.exit(f'{fname}: {len(blocks)} blocks, the show reads 30')
            body = []
            for comment, text in blocks:
                if text.count('\n') + 2 > 40:
                    sys.exit(f'{fname}: a block of more than 40 lines')
                body.append(f'# {comment}\n{text}')
            files.append((fname, '\n'.join(body) + '\n'))
            effect = 'change' if kind == 'change' else 'photo'
            headers.append(f'effect={effect}\nscenetime={num(t)}\nscript=.\\{fname}\nend')
        headers.append(f'# every move has ended: hand over\neffect=photo\nscenetime={num(self.end)}\n'
                       f'script=.\\none.txt\nend')
        kind, target = self.handover
        if kind == 'continue':
            headers.append(f'continue=.\\{target}\nend')
            tail = ''
        else:
            # The names after `random` are the last lines of the file: the
            # reader takes up to ten following lines whole.
            tail = 'random\n' + '\n'.join(f'.\\{t}' for t in target) + '\n'
        about = ''.join(f'# {line}\n' for line in self.about)
        files.append((self.name, about + '\n'.join(headers) + '\n' + tail))
        for fname, text in files:
            with open(os.path.join(outdir, fname), 'w', newline='\r\n') as f:
                f.write(text)


class Show:
    def __init__(self, variant, shape, logo):
        self.v = variant
        self.s = SHAPES[shape]
        self.logo = logo
        self.sw, self.sh = self.s['sw'], self.s['sh']

    def height(self, w):
        return w / self.s['aspect'] * SHOWN_ROWS

    def still(self, n, handovers):
        """Placeholder asked for to show picture n of the pass. Variants A and
        B turn the placeholders one step at each hand-over; C shows picture n
        for placeholder n."""
        if self.v == 'C':
            return f'STILL{(n - 1 + handovers) % 10 + 1}.JPG'
        return f'STILL{n}.JPG'

    def card(self, script, slot, still, keys, comment):
        """A print: shadow, white border and photo on three layers."""
        base = 3 + 3 * slot
        shadow = [Key(k.t, k.x + SHADOW_OFFSET[0], k.y + SHADOW_OFFSET[1], k.w + 2 * BORDER,
                      self.height(k.w) + 2 * BORDER, k.rot, k.a * SHADOW_ALPHA) for k in keys]
        frame = [Key(k.t, k.x, k.y, k.w + 2 * BORDER, self.height(k.w) + 2 * BORDER, k.rot, k.a) for k in keys]
        photo = [Key(k.t, k.x, k.y, k.w, self.height(k.w), k.rot, k.a) for k in keys]
        script.anim(base, 'shadow.bmp', shadow, 'plain', f'{comment}: shadow')
        script.anim(base + 1, 'frame.bmp', frame, 'plain', f'{comment}: border')
        script.anim(base + 2, still, photo, 'still', f'{comment}: photo')

    def fades(self, t0, t1, t2, t3, x0, x1, y0, y1, w0, w1, r0, r1):
        """Key frames of a picture that fades in over t0..t1, holds until t2 and
        fades out until t3, moving and turning at one pace all the while."""
        def at(t):
            f = (t - t0) / (t3 - t0)
            return (x0 + (x1 - x0) * f, y0 + (y1 - y0) * f, w0 + (w1 - w0) * f, r0 + (r1 - r0) * f)
        keys = []
        for t, a in ((t0, 0), (t1, 255), (t2, 255), (t3, 0)):
            x, y, w, r = at(t)
            keys.append(Key(t, x, y, w, 0, r, a))
        return keys

    def bleed(self, script, still, keys, comment):
        script.anim(LAYER_BLEED, still, [Key(k.t, k.x, k.y, k.w, self.height(k.w), k.rot, k.a) for k in keys],
                    'still', comment)

    def watermark_out(self, script, t0, t1):
        if self.v != 'A':
            return
        script.add(t0, 'change', 'corner logo fades with the last pictures',
                   f'set\nlayer={LAYER_WATERMARK}\ntime={num(t1 - t0)}\nealpha=0\nend')

    # --- the four scene scripts ---------------------------------------------

    def opening(self):
        sw, sh = self.sw, self.sh
        s = Script('scenescript.txt', 'open', [
            'Opening: the backdrop comes up from black under the title, one big',
            'photo pans across the screen, then a framed print slowly grows.',
            'Goes on with gallery.txt.'])
        cw, ch = self.s['cover']
        s.anim(LAYER_BACKDROP, 'base.bmp', [Key(0, 0, 0, cw, ch, grey=0), Key(2.5, 0, 0, cw, ch, grey=255)],
               'plain', 'backdrop, up from black')
        tw = 1.3 * sw
        title = [Key(0.5, 0, 0.08 * sh, tw * 0.94, 0, a=0), Key(3, 0, 0.08 * sh, tw, 0),
                 Key(5.5, 0, 0.08 * sh, tw * 1.03, 0), Key(7, 0, 0.08 * sh, tw * 1.06, 0, a=0)]
        for k in title:
            k.h = k.w / 5 * SHOWN_ROWS
        s.anim(LAYER_TITLE, 'title.bmp', title, 'plain', 'title')
        ly = -0.24 * sh
        s.anim(LAYER_LOGO, self.logo, [Key(1.5, 0, ly, 37.6, 8, a=0), Key(3.5, 0, ly, 37.6, 8),
                                       Key(5.5, 0, ly, 37.6, 8), Key(7, 0, ly, 37.6, 8, a=0)],
               'plain', 'logo under the title (its size is fixed by its name)')
        if self.v == 'A':
            # Variant A draws one layer more: a small logo in the corner,
            # hidden while the title shows.
            wx, wy = sw - 24, -sh + 8
            s.anim(LAYER_WATERMARK, self.logo, [Key(0, wx, wy, 37.6, 8, a=0), Key(0, wx, wy, 37.6, 8, a=0)],
                   'plain', 'corner logo, hidden under the title')
            s.anim(LAYER_WATERMARK, self.logo, [Key(8, wx, wy, 37.6, 8, a=0), Key(10, wx, wy, 37.6, 8, a=150)],
                   'plain', 'corner logo comes up')
        b = self.s['bleed']
        self.bleed(s, self.still(1, 0), self.fades(7, 8.5, 17.5, 19, 16, -16, 0, 0, b, b, 0, 0),
                   'one big photo panning from right to left')
        self.card(s, 4, self.still(2, 0), self.fades(17.5, 19, 29, 30.5, 0, 0, 0, 0, 1.3 * sw, 1.55 * sw, -2, 0.5),
                  'a print that slowly grows and turns')
        s.end = 31
        s.handover = ('continue', 'gallery.txt')
        return s

    def gallery(self):
        sw, sh = self.sw, self.sh
        s = Script('gallery.txt', 'gallery', [
            'Gallery: two prints slide past each other in two rows, then three',
            'small ones in columns, the outer two rising, the middle one sinking.',
            'Goes on at random with zoom.txt or drift.txt.'])
        w = 0.85 * sw
        self.card(s, 0, self.still(3, 1), self.fades(0, 1.5, 12, 13.5, -0.42 * sw, 0.42 * sw, 0.5 * sh, 0.5 * sh,
                                                      w, w, 1.5, -1.5), 'upper print, to the right')
        self.card(s, 1, self.still(4, 1), self.fades(0, 1.5, 12, 13.5, 0.42 * sw, -0.42 * sw, -0.5 * sh, -0.5 * sh,
                                                      w, w, -1.5, 1.5), 'lower print, to the left')
        w = 0.55 * sw
        for slot, n, x, t0, up, turn in ((2, 5, -0.66, 13.2, 1, 1), (3, 2, 0, 13.6, -1, -1), (4, 6, 0.66, 14, 1, 1)):
            self.card(s, slot, self.still(n, 1),
                      self.fades(t0, t0 + 1.5, t0 + 11, t0 + 12.5, x * sw, x * sw, -0.3 * sh * up, 0.3 * sh * up,
                                 w, w, -turn, turn), f'column {slot - 1} of 3')
        s.end = 27
        s.handover = ('random', ['zoom.txt', 'drift.txt'])
        return s

    def zoom(self):
        sw, sh = self.sw, self.sh
        s = Script('zoom.txt', 'zoom', [
            'Finale one: a slow zoom into a full-screen photo, then two tilted',
            'prints drifting apart. Goes back to scenescript.txt.'])
        b = self.s['bleed']
        self.bleed(s, self.still(7, 2), self.fades(0, 1.5, 10.5, 12, 0, -8, 0, 0, b, b * 1.13, 0, 0),
                   'full-screen photo, slow zoom')
        w = 0.8 * sw
        self.card(s, 0, self.still(8, 2), self.fades(11, 12.5, 22.5, 24, -0.46 * sw, -0.52 * sw, -0.06 * sh,
                                                      0.06 * sh, w, w, 3, 1.5), 'left print')
        self.card(s, 1, self.still(6, 2), self.fades(11, 12.5, 22.5, 24, 0.46 * sw, 0.52 * sw, 0.06 * sh,
                                                      -0.06 * sh, w, w, -3, -1.5), 'right print')
        self.watermark_out(s, 22.5, 24)
        s.end = 24.5
        s.handover = ('continue', 'scenescript.txt')
        return s

    def drift(self):
        sw, sh = self.sw, self.sh
        s = Script('drift.txt', 'drift', [
            'Finale two: three prints land one after another in a loose pile and',
            'drift a little. Goes back to scenescript.txt.'])
        w = 0.95 * sw
        for slot, n, x, y, t0, r0, r1 in ((0, 7, -0.36, 0.14, 0, -6, -4.5), (1, 8, 0.36, -0.12, 2.5, 5, 3.5),
                                          (2, 6, 0.02, 0, 5, -1.5, 0.5)):
            keys = self.fades(t0, t0 + 1.2, 17, 18.5, (x - 0.03) * sw, (x + 0.03) * sw, y * sh, y * sh, w, w, r0, r1)
            keys[0].w = w * 1.1   # lands: a little larger while it fades in
            self.card(s, slot, self.still(n, 2), keys, f'print {slot + 1} of 3')
        self.watermark_out(s, 17, 18.5)
        s.end = 19
        s.handover = ('continue', 'scenescript.txt')
        return s


def main():
    p = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    p.add_argument('--variant', choices='ABC', required=True)
    p.add_argument('--shape', choices=SHAPES, required=True)
    p.add_argument('--logo', default='logo_gb.bmp')
    p.add_argument('outdir')
    o = p.parse_args()
    os.makedirs(o.outdir, exist_ok=True)
    show = Show(o.variant, o.shape, o.logo)
    for script in (show.opening(), show.gallery(), show.zoom(), show.drift()):
        script.write(o.outdir)
    with open(os.path.join(o.outdir, 'none.txt'), 'w', newline='\r\n') as f:
        f.write('# No layer: lets the moves before it end before the hand-over.\n')


if __name__ == '__main__':
    main()

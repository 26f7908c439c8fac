#!/usr/bin/env python3
"""Draws the wizard's pictures and icons and writes them as BMP and ICO files.

    gen_art.py OUTPUT_DIR

Everything is drawn here from simple shapes (gradients, rounded rectangles,
circles, thick lines, convex polygons), so the output is the same on every
run and machine. Only the Python standard library is used; the BMP and ICO
writers are at the end of the file.

The motif is a loom: warp threads (vertical) and weft threads (horizontal)
woven over and under each other, in calm blues with one warm accent for
"you are here".
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Palette (linear 0..1 RGB tuples)


def rgb(hex_text):
    v = int(hex_text, 16)
    return ((v >> 16 & 255) / 255.0, (v >> 8 & 255) / 255.0, (v & 255) / 255.0)


NAVY = rgb("173453")
DEEP = rgb("1D4466")
TEAL = rgb("1F737F")
SEA = rgb("3A93A0")
SKY = rgb("9CCBD8")
MIST = rgb("DCEAF0")
PAPER = rgb("F6F8FA")
WHITE = rgb("FFFFFF")
GOLD = rgb("F0B24A")


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# ---------------------------------------------------------------------------
# Canvas: straight (not premultiplied) RGBA floats, drawing with "over".


class Canvas:
    def __init__(self, width, height, color=WHITE, alpha=1.0):
        self.w = width
        self.h = height
        n = width * height
        self.r = [color[0]] * n
        self.g = [color[1]] * n
        self.b = [color[2]] * n
        self.a = [alpha] * n

    def put(self, x, y, color, k):
        """Blends color over pixel (x, y) with coverage k (0..1)."""
        if k <= 0.0:
            return
        i = y * self.w + x
        da = self.a[i]
        oa = k + da * (1.0 - k)
        if oa <= 0.0:
            return
        f = da * (1.0 - k) / oa
        s = k / oa
        self.r[i] = color[0] * s + self.r[i] * f
        self.g[i] = color[1] * s + self.g[i] * f
        self.b[i] = color[2] * s + self.b[i] * f
        self.a[i] = oa

    def shape(self, box, dist, paint, alpha=1.0, soft=1.0):
        """Fills the shape whose signed distance (negative inside) is dist(x, y).

        box limits the pixels visited; paint is a colour or a function of
        (x, y) giving one; soft widens the anti-aliased edge (shadows, glows).
        """
        x0 = max(0, int(math.floor(box[0] - soft)))
        y0 = max(0, int(math.floor(box[1] - soft)))
        x1 = min(self.w, int(math.ceil(box[2] + soft)) + 1)
        y1 = min(self.h, int(math.ceil(box[3] + soft)) + 1)
        solid = not callable(paint)
        for y in range(y0, y1):
            py = y + 0.5
            for x in range(x0, x1):
                px = x + 0.5
                k = clamp01(0.5 - dist(px, py) / soft) * alpha
                if k > 0.0:
                    self.put(x, y, paint if solid else paint(px, py), k)

    def blit(self, other, left, top):
        for y in range(other.h):
            for x in range(other.w):
                j = y * other.w + x
                self.put(left + x, top + y, (other.r[j], other.g[j], other.b[j]), other.a[j])


# ---------------------------------------------------------------------------
# Signed-distance shapes


def sd_round_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def d(px, py):
        qx = abs(px - cx) - hx
        qy = abs(py - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def sd_circle(cx, cy, radius):
    return lambda px, py: math.hypot(px - cx, py - cy) - radius


def sd_ring(cx, cy, radius, width):
    return lambda px, py: abs(math.hypot(px - cx, py - cy) - radius) - width / 2.0


def sd_segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy or 1e-9

    def d(px, py):
        t = clamp01(((px - ax) * dx + (py - ay) * dy) / ll)
        return math.hypot(px - ax - t * dx, py - ay - t * dy) - width / 2.0
    return d


def sd_arc(cx, cy, radius, width, start_deg, end_deg):
    """A ring segment from start to end angle (degrees, counter-clockwise, y up)."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)
    ends = [(cx + radius * math.cos(a), cy - radius * math.sin(a)) for a in (a0, a1)]

    def d(px, py):
        ang = math.atan2(cy - py, px - cx)
        rel = (ang - a0) % (2 * math.pi)
        if rel <= (a1 - a0) % (2 * math.pi):
            return abs(math.hypot(px - cx, py - cy) - radius) - width / 2.0
        return min(math.hypot(px - ex, py - ey) for ex, ey in ends) - width / 2.0
    return d


def sd_polygon(points):
    """Convex polygon, points in clockwise order on screen (y down)."""
    edges = []
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        length = math.hypot(bx - ax, by - ay) or 1e-9
        edges.append((ax, ay, (by - ay) / length, -(bx - ax) / length))

    def d(px, py):
        return max((px - ax) * nx + (py - ay) * ny for ax, ay, nx, ny in edges)
    return d


def bbox(points, pad=0.0):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# ---------------------------------------------------------------------------
# Drawing helpers


def gradient(c0, c1, x0, y0, x1, y1):
    """Paint function: linear gradient from c0 at (x0, y0) to c1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1e-9
    return lambda px, py: mix(c0, c1, clamp01(((px - x0) * dx + (py - y0) * dy) / ll))


def rect(cv, x0, y0, x1, y1, paint, alpha=1.0, radius=0.0, soft=1.0):
    cv.shape((x0, y0, x1, y1), sd_round_rect(x0, y0, x1, y1, radius), paint, alpha, soft)


def circle(cv, cx, cy, radius, paint, alpha=1.0, soft=1.0):
    cv.shape((cx - radius, cy - radius, cx + radius, cy + radius),
             sd_circle(cx, cy, radius), paint, alpha, soft)


def ring(cv, cx, cy, radius, width, paint, alpha=1.0):
    r = radius + width
    cv.shape((cx - r, cy - r, cx + r, cy + r), sd_ring(cx, cy, radius, width), paint, alpha)


def frame(cv, x0, y0, x1, y1, width, paint, alpha=1.0, radius=0.0):
    """The outline of a rounded rectangle, centred on its edge."""
    inner = sd_round_rect(x0, y0, x1, y1, radius)
    cv.shape((x0 - width, y0 - width, x1 + width, y1 + width),
             lambda px, py: abs(inner(px, py)) - width / 2.0, paint, alpha)


def line(cv, ax, ay, bx, by, width, paint, alpha=1.0, soft=1.0):
    pad = width / 2.0
    cv.shape(bbox([(ax, ay), (bx, by)], pad), sd_segment(ax, ay, bx, by, width), paint, alpha, soft)


def arc(cv, cx, cy, radius, width, start_deg, end_deg, paint, alpha=1.0):
    r = radius + width
    cv.shape((cx - r, cy - r, cx + r, cy + r),
             sd_arc(cx, cy, radius, width, start_deg, end_deg), paint, alpha)


def polygon(cv, points, paint, alpha=1.0):
    cv.shape(bbox(points), sd_polygon(points), paint, alpha)


def polyline(cv, points, width, paint, alpha=1.0):
    for a, b in zip(points, points[1:]):
        line(cv, a[0], a[1], b[0], b[1], width, paint, alpha)


def weave(cv, x0, y0, x1, y1, pitch, width, warp, weft, alpha=1.0, shade=0.35, phase=0):
    """Interlaced threads filling a rectangle: weft rows and warp columns,
    each crossing alternating which thread lies on top (shade > 0 adds the
    shadow a thread casts on the one below)."""
    cols = [x0 + pitch / 2.0 + i * pitch for i in range(int((x1 - x0) / pitch + 0.5))]
    rows = [y0 + pitch / 2.0 + j * pitch for j in range(int((y1 - y0) / pitch + 0.5))]
    half = width / 2.0
    for y in rows:
        rect(cv, x0, y - half, x1, y + half, weft, alpha, radius=half)
    for x in cols:
        if shade:
            rect(cv, x - half - 1, y0, x + half + 1, y1, NAVY, alpha * shade, radius=half, soft=2.5)
        rect(cv, x - half, y0, x + half, y1, warp, alpha, radius=half)
    for i, x in enumerate(cols):
        for j, y in enumerate(rows):
            if (i + j + phase) % 2:
                continue
            # the weft passes over the warp here
            if shade:
                rect(cv, x - half, y - half - 1, x + half, y + half + 1, NAVY, alpha * shade, soft=2.5)
            rect(cv, x - half - 2, y - half, x + half + 2, y + half, weft, alpha)


# ---------------------------------------------------------------------------
# Pictograms: white line art in a unit circle, drawn at centre (cx, cy) with
# radius s. Each names one phase of the capture.


def pict_scan(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.14)
    ring(cv, cx - s * 0.15, cy - s * 0.15, s * 0.42, w, color, alpha)
    line(cv, cx + s * 0.16, cy + s * 0.16, cx + s * 0.55, cy + s * 0.55, w * 1.5, color, alpha)


def pict_install(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.13)
    polyline(cv, [(cx - s * 0.55, cy + s * 0.05), (cx - s * 0.55, cy + s * 0.55),
                  (cx + s * 0.55, cy + s * 0.55), (cx + s * 0.55, cy + s * 0.05)], w, color, alpha)
    line(cv, cx, cy - s * 0.6, cx, cy + s * 0.15, w, color, alpha)
    polyline(cv, [(cx - s * 0.3, cy - s * 0.12), (cx, cy + s * 0.2), (cx + s * 0.3, cy - s * 0.12)],
             w, color, alpha)


def pict_compare(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.12)
    rect_outline(cv, cx - s * 0.6, cy - s * 0.55, cx + s * 0.1, cy + s * 0.35, w, color, alpha)
    rect_outline(cv, cx - s * 0.2, cy - s * 0.25, cx + s * 0.5, cy + s * 0.65, w, color, alpha)
    pict_check(cv, cx + s * 0.15, cy + s * 0.2, s * 0.35, color, alpha)


def pict_configure(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.13)
    for k in range(8):
        a = math.radians(k * 45 + 22.5)
        line(cv, cx + math.cos(a) * s * 0.42, cy + math.sin(a) * s * 0.42,
             cx + math.cos(a) * s * 0.62, cy + math.sin(a) * s * 0.62, w * 1.5, color, alpha)
    ring(cv, cx, cy, s * 0.38, w, color, alpha)
    ring(cv, cx, cy, s * 0.12, w, color, alpha)


def pict_build(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.12)
    top = (cx, cy - s * 0.62)
    left = (cx - s * 0.55, cy - s * 0.32)
    right = (cx + s * 0.55, cy - s * 0.32)
    mid = (cx, cy - s * 0.02)
    bl = (cx - s * 0.55, cy + s * 0.32)
    br = (cx + s * 0.55, cy + s * 0.32)
    bottom = (cx, cy + s * 0.62)
    polyline(cv, [top, right, mid, left, top], w, color, alpha)
    polyline(cv, [left, bl, bottom, br, right], w, color, alpha)
    line(cv, mid[0], mid[1], bottom[0], bottom[1], w, color, alpha)


def pict_check(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.16)
    polyline(cv, [(cx - s * 0.45, cy), (cx - s * 0.12, cy + s * 0.33), (cx + s * 0.5, cy - s * 0.35)],
             w, color, alpha)


def pict_list(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.11)
    for i in range(3):
        y = cy - s * 0.45 + i * s * 0.45
        rect_outline(cv, cx - s * 0.6, y - s * 0.14, cx - s * 0.32, y + s * 0.14, w, color, alpha)
        line(cv, cx - s * 0.12, y, cx + s * 0.6, y, w, color, alpha)
        if i < 2:
            pict_check(cv, cx - s * 0.44, y - s * 0.04, s * 0.3, color, alpha)


def pict_resume(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.13)
    arc(cv, cx, cy, s * 0.48, w, 120, 400, color, alpha)
    # arrow head at the start of the arc (120 degrees)
    a = math.radians(120)
    hx, hy = cx + math.cos(a) * s * 0.48, cy - math.sin(a) * s * 0.48
    polygon(cv, [(hx - s * 0.32, hy - s * 0.05), (hx + s * 0.12, hy - s * 0.3), (hx + s * 0.08, hy + s * 0.22)],
            color, alpha)


def pict_save(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.12)
    polyline(cv, [(cx - s * 0.6, cy + s * 0.5), (cx - s * 0.6, cy - s * 0.45), (cx - s * 0.2, cy - s * 0.45),
                  (cx - s * 0.08, cy - s * 0.3), (cx + s * 0.6, cy - s * 0.3), (cx + s * 0.6, cy + s * 0.5),
                  (cx - s * 0.6, cy + s * 0.5)], w, color, alpha)
    line(cv, cx, cy - s * 0.1, cx, cy + s * 0.3, w, color, alpha)
    polyline(cv, [(cx - s * 0.2, cy + s * 0.12), (cx, cy + s * 0.32), (cx + s * 0.2, cy + s * 0.12)],
             w, color, alpha)


def pict_people(cv, cx, cy, s, color=WHITE, alpha=1.0):
    for dx, sc in ((-0.42, 0.8), (0.42, 0.8), (0.0, 1.0)):
        hx = cx + dx * s
        circle(cv, hx, cy - s * 0.25 * sc, s * 0.2 * sc, color, alpha)
        cv.shape((hx - s * 0.4, cy, hx + s * 0.4, cy + s * 0.6),
                 sd_round_rect(hx - s * 0.34 * sc, cy + s * 0.05, hx + s * 0.34 * sc, cy + s * 0.6,
                               s * 0.3 * sc), color, alpha)


def pict_network(cv, cx, cy, s, color=WHITE, alpha=1.0):
    w = max(1.2, s * 0.1)
    nodes = [(cx, cy - s * 0.55), (cx - s * 0.55, cy + s * 0.35), (cx + s * 0.55, cy + s * 0.35), (cx, cy)]
    for a in nodes[:3]:
        line(cv, a[0], a[1], cx, cy, w, color, alpha)
    polyline(cv, [nodes[0], nodes[1], nodes[2], nodes[0]], w * 0.8, color, alpha * 0.6)
    for nx, ny in nodes:
        circle(cv, nx, ny, s * 0.16, color, alpha)


def rect_outline(cv, x0, y0, x1, y1, width, color, alpha=1.0):
    polyline(cv, [(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)], width, color, alpha)


PHASES = [pict_scan, pict_install, pict_compare, pict_configure, pict_build]

# ---------------------------------------------------------------------------
# The pictures


def logo(cv, x, y, size, threads=3):
    """The application mark: a woven square tile."""
    rad = size * 0.2
    rect(cv, x + size * 0.03, y + size * 0.06, x + size * 1.01, y + size * 1.03, NAVY, 0.35,
         radius=rad, soft=max(1.0, size * 0.04))
    rect(cv, x, y, x + size, y + size, gradient(SEA, NAVY, x, y, x + size, y + size), radius=rad)
    m = size * 0.16
    pitch = (size - 2 * m) / threads
    weave(cv, x + m, y + m, x + size - m, y + size - m, pitch, max(1.0, pitch * 0.55),
          MIST, GOLD, shade=0.5)


def banner(stage):
    """Banner over the pages (307 x 44 dialog units): the mark at the left and
    the five phases as knots on one thread, the current one lit (stage 0..4;
    -1 none lit, 5 all done). The border is plain NAVY, so the picture blends
    into the fill of a banner control that is wider than the bitmap."""
    w, h = 460, 72
    cv = Canvas(w, h, NAVY)
    cv.shape((228, 2, 456, 66), sd_round_rect(234, 8, 450, 60, 26), TEAL, 0.35, soft=8.0)
    rect(cv, 236, 10, 448, 58, gradient(DEEP, TEAL, 236, 0, 448, 0), radius=24)
    weave(cv, 252, 12, 432, 56, 11, 4, SKY, SKY, alpha=0.08, shade=0.0)
    rect(cv, 14, 65, 446, 67, gradient(GOLD, TEAL, 14, 0, 446, 0), radius=1)
    logo(cv, 14, 9, 46)
    xs = [260 + i * 42 for i in range(5)]
    cy = 34
    line(cv, xs[0] - 10, cy, xs[-1] + 10, cy, 2, SKY, 0.45)
    for i, x in enumerate(xs):
        if stage == i:
            circle(cv, x, cy, 19, GOLD, 0.25, soft=4.0)
            circle(cv, x, cy, 15, GOLD)
            PHASES[i](cv, x, cy, 11, NAVY)
        elif i < stage:
            circle(cv, x, cy, 11, SKY)
            PHASES[i](cv, x, cy, 8, NAVY, 0.9)
        else:
            circle(cv, x, cy, 11, NAVY)
            ring(cv, x, cy, 11, 1.5, SKY, 0.7)
            PHASES[i](cv, x, cy, 8, SKY, 0.8)
    return cv


def side(pictogram, lit=None):
    """Tall side picture beside a page's text: a warp of threads with the
    page's pictogram in a lit circle."""
    w, h = 96, 264
    cv = Canvas(w, h)
    rect(cv, 0, 0, w, h, gradient(DEEP, TEAL, 0, 0, w * 0.3, h))
    weave(cv, 0, 132, w, h, 16, 6, SKY, SKY, alpha=0.16, shade=0.0, phase=1)
    rect(cv, 0, 120, w, 150, gradient(DEEP, TEAL, 0, 0, 0, h * 1.6), alpha=0.55)
    line(cv, w / 2.0, 0, w / 2.0, h, 3, GOLD, 0.8)
    cx, cy = w / 2.0, 70
    circle(cv, cx, cy, 38, NAVY, 0.35, soft=6.0)
    circle(cv, cx, cy, 33, gradient(SEA, DEEP, cx - 30, cy - 30, cx + 30, cy + 30))
    ring(cv, cx, cy, 33, 2, lit or SKY, 0.9)
    pictogram(cv, cx, cy, 26)
    return cv


def community(highlighted):
    """The community banner of the welcome page (132 x 92 pixels); the
    highlighted form is shown while the mouse rests on it."""
    w, h = 132, 92
    cv = Canvas(w, h, WHITE)
    top = SEA if highlighted else TEAL
    rect(cv, 0, 0, w, h, gradient(top, NAVY, 0, 0, w * 0.4, h), radius=6)
    weave(cv, 4, 4, w - 4, h - 4, 14, 5, SKY, SKY, alpha=0.14, shade=0.0)
    circle(cv, 44, 46, 30, NAVY, 0.45, soft=5.0)
    circle(cv, 44, 46, 26, gradient(SEA, DEEP, 20, 20, 70, 70))
    pict_people(cv, 44, 46, 22)
    for i in range(3):
        y = 30 + i * 14
        rect(cv, 84, y, 120 - i * 8, y + 5, SKY if i else WHITE, 0.9 if i else 1.0, radius=2.5)
    if highlighted:
        frame(cv, 1.5, 1.5, w - 1.5, h - 1.5, 3, GOLD, radius=5)
    return cv


# Hot spots of the welcome picture (left, top, right, bottom, in pixels):
# the page opens a link for each and paints the community banner into the
# second one.
HOT_FOOT = (10, 227, 120, 242)
HOT_COMMUNITY = (316, 37, 448, 129)
HOT_LINK_1 = (328, 188, 448, 201)
HOT_LINK_2 = (312, 205, 448, 215)


def welcome():
    """The welcome picture: the five phases down the left, the community card
    at the right, a foot strip with a link area and room at its right for
    the version line that the page draws."""
    w, h = 460, 250
    cv = Canvas(w, h, PAPER)
    rect(cv, 0, 0, w, h, gradient(WHITE, MIST, 0, 0, 0, h * 1.6))
    # heading area, then an accent thread under it
    logo(cv, 12, 10, 30)
    rect(cv, 12, 48, 296, 50, gradient(GOLD, TEAL, 12, 0, 296, 0))
    # the five phases on one vertical thread, text room to the right of each
    xs, y0, step = 28, 70, 34
    line(cv, xs, y0 - 12, xs, y0 + 4 * step + 12, 3, SKY)
    for i, pict in enumerate(PHASES):
        cy = y0 + i * step
        rect(cv, 46, cy - 14, 296, cy + 14, SKY, 0.5, radius=5)
        rect(cv, 47, cy - 13, 295, cy + 13, WHITE, 0.9, radius=4)
        circle(cv, xs + 1, cy + 1.5, 14, NAVY, 0.25, soft=2.5)
        circle(cv, xs, cy, 13, gradient(SEA, DEEP, xs - 12, cy - 12, xs + 12, cy + 12))
        pict(cv, xs, cy, 9.5)
    # community card: heading room, the banner slot, text room, two link rows
    rect(cv, 307, 8, 452, 221, NAVY, 0.12, radius=7, soft=3.0)
    rect(cv, 306, 6, 454, 219, WHITE, radius=7)
    rect(cv, 316, 31, 448, 32.5, gradient(GOLD, TEAL, 316, 0, 448, 0))
    cv.blit(community(False), HOT_COMMUNITY[0], HOT_COMMUNITY[1])
    for spot in (HOT_LINK_1, HOT_LINK_2):
        rect(cv, *spot, MIST, 0.8, radius=3)
    # foot strip: link area at the left, version line at the right
    rect(cv, 0, 222, w, 223, SKY, 0.8)
    rect(cv, *HOT_FOOT, WHITE, radius=4)
    left, top, right, bottom = HOT_FOOT
    frame(cv, left + 0.5, top + 0.5, right - 0.5, bottom - 0.5, 1.2, SEA, 0.8, radius=4)
    return cv


def portal():
    """The portal page's picture: a network of sites around a hub."""
    s = 72
    cv = Canvas(s, s, NAVY)
    rect(cv, 0, 0, s, s, gradient(SEA, NAVY, 0, 0, s, s))
    weave(cv, 0, 0, s, s, 12, 4, SKY, SKY, alpha=0.12, shade=0.0)
    pict_network(cv, s / 2.0, s / 2.0 + 2, 25)
    circle(cv, s / 2.0, s / 2.0 + 2, 5, GOLD)
    return cv


def app_icon(size):
    cv = Canvas(size, size, WHITE, 0.0)
    pad = max(0.5, size * 0.03)
    logo(cv, pad, pad, size - 2 * pad - (1 if size < 32 else size * 0.03), threads=2 if size <= 16 else 3)
    return cv


def doc_icon(size):
    """Second icon: a project sheet with a woven corner."""
    cv = Canvas(size, size, WHITE, 0.0)
    s = float(size)
    x0, y0, x1, y1 = s * 0.16, s * 0.06, s * 0.84, s * 0.94
    fold = s * 0.24
    body = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    polygon(cv, [(p[0] + s * 0.03, p[1] + s * 0.03) for p in body], NAVY, 0.3)
    polygon(cv, body, WHITE)
    polyline(cv, body + [body[0]], max(1.0, s * 0.045), DEEP)
    polygon(cv, [(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)], SKY)
    m = s * 0.26
    weave(cv, x0 + s * 0.1, y0 + m + s * 0.08, x1 - s * 0.1, y1 - s * 0.1, (x1 - x0 - s * 0.2) / 3,
          max(1.0, s * 0.08), TEAL, GOLD, shade=0.4)
    return cv


# ---------------------------------------------------------------------------
# File writers


def to_bytes(v):
    return int(clamp01(v) * 255.0 + 0.5)


def write_bmp(cv, path):
    """24-bit uncompressed BMP, bottom-up rows padded to four bytes."""
    stride = (cv.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray()
        for x in range(cv.w):
            i = y * cv.w + x
            a = cv.a[i]  # composite on white (the pictures are opaque anyway)
            row += bytes((to_bytes(cv.b[i] * a + (1 - a)), to_bytes(cv.g[i] * a + (1 - a)),
                          to_bytes(cv.r[i] * a + (1 - a))))
        row += b"\0" * (stride - len(row))
        pixels += row
    header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    filehead = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(filehead + header + pixels)


def icon_dib(cv):
    """One icon image as a 32-bit DIB with its AND mask (height doubled)."""
    xor = bytearray()
    for y in range(cv.h - 1, -1, -1):
        for x in range(cv.w):
            i = y * cv.w + x
            xor += bytes((to_bytes(cv.b[i]), to_bytes(cv.g[i]), to_bytes(cv.r[i]), to_bytes(cv.a[i])))
    mask_stride = ((cv.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(cv.h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(cv.w):
            if to_bytes(cv.a[y * cv.w + x]) == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def icon_png(cv):
    """One icon image as PNG (RGBA, 8 bits per channel), used for 256 pixels."""
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for x in range(cv.w):
            i = y * cv.w + x
            raw += bytes((to_bytes(cv.r[i]), to_bytes(cv.g[i]), to_bytes(cv.b[i]), to_bytes(cv.a[i])))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def write_ico(images, path):
    entries = bytearray()
    blobs = bytearray()
    offset = 6 + 16 * len(images)
    for cv in images:
        data = icon_png(cv) if cv.w >= 256 else icon_dib(cv)
        entries += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + blobs)


# ---------------------------------------------------------------------------
# What is written (file names are referred to by src/resources/Art.rc)


def pictures():
    return {
        "banner_neutral.bmp": lambda: banner(-1),
        "banner_done.bmp": lambda: banner(5),
        "banner_prescan.bmp": lambda: banner(0),
        "banner_install.bmp": lambda: banner(1),
        "banner_postscan.bmp": lambda: banner(2),
        "banner_configure.bmp": lambda: banner(3),
        "banner_build.bmp": lambda: banner(4),
        "side_scan.bmp": lambda: side(pict_scan),
        "side_install.bmp": lambda: side(pict_install, GOLD),
        "side_compare.bmp": lambda: side(pict_compare),
        "side_configure.bmp": lambda: side(pict_configure),
        "side_resume.bmp": lambda: side(pict_resume, GOLD),
        "side_save.bmp": lambda: side(pict_save),
        "side_build.bmp": lambda: side(pict_build),
        "side_entry_points.bmp": lambda: side(pict_list),
        "side_finished.bmp": lambda: side(pict_check, GOLD),
        "welcome.bmp": welcome,
        "community.bmp": lambda: community(False),
        "community_lit.bmp": lambda: community(True),
        "portal.bmp": portal,
    }


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: gen_art.py OUTPUT_DIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in pictures().items():
        write_bmp(draw(), os.path.join(out, name))
    write_ico([app_icon(s) for s in (16, 24, 32, 48, 64, 256)], os.path.join(out, "app.ico"))
    write_ico([doc_icon(s) for s in (16, 24, 32, 48)], os.path.join(out, "project.ico"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

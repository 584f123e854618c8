#!/usr/bin/env python3
"""Writes the bundled demo scene: demo/SceneGraph.sg and demo/Data/ (OBJ, MTL, PNG).

Run from anywhere: python3 demo/make_demo.py. Standard library only; the
output is committed, so the viewer's users never need to run it.

Conventions the viewer imposes, which every number below follows:
- Scene (frame) space: +X to the right of the screen, +Y DOWN the screen,
  +Z away from the camera, which sits at the origin looking down +Z.
- Every model is turned 90 degrees about its X axis inside its frame, so in
  an OBJ file +X is right, +Z is up and +Y points away from the viewer.
- Back faces are culled: faces wind counter-clockwise seen from outside.
- Texture coordinates are the standard ones: (0, 0) is the picture's bottom
  left corner and (1, 1) its top right; textures repeat beyond them.
"""

import math
import os
import random
import struct
import zlib

DEMO_DIR = os.path.dirname(os.path.abspath(__file__))
DATA_DIR = os.path.join(DEMO_DIR, "Data")


# ---------------------------------------------------------------- pictures

def write_png(path, width, height, pixel):
    """Writes an 8-bit RGB PNG; pixel(x, y) gives (r, g, b) with y from the top."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # filter type 0: the row as it is
        for x in range(width):
            rows.extend(bytes(pixel(x, y)))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        out.write(chunk(b"IEND", b""))


def clamp_colour(r, g, b):
    return tuple(max(0, min(255, int(round(c)))) for c in (r, g, b))


def checker_pixel(x, y):
    """Two tiles of each tone per 64 pixels, with a soft bevel along the joints."""
    light, dark = (206, 200, 186), (74, 84, 104)
    base = light if ((x // 32) + (y // 32)) % 2 == 0 else dark
    edge = min(x % 32, 31 - x % 32, y % 32, 31 - y % 32)
    shade = 0.82 + 0.18 * min(edge, 3) / 3.0
    return clamp_colour(*(c * shade for c in base))


def make_crate_pixel():
    """Wooden planks inside a dark frame, crossed by a diagonal brace."""
    grain = random.Random(7)
    noise = [[grain.uniform(-1.0, 1.0) for _ in range(128)] for _ in range(128)]
    plank, frame_wood, gap = (176, 124, 70), (116, 76, 40), (70, 44, 22)

    def pixel(x, y):
        streak = 10.0 * noise[y][x // 8] + 6.0 * math.sin(x * 0.21 + noise[y // 16][x] * 0.6)
        if x < 14 or x > 113 or y < 14 or y > 113:
            base = frame_wood
            if x in (0, 127) or y in (0, 127) or x in (13, 114) or y in (13, 114):
                base = gap
        elif abs(x - y) < 9:
            base = frame_wood
            if abs(x - y) == 8:
                base = gap
        else:
            base = plank
            if (y - 14) % 25 == 0:
                base = gap
        return clamp_colour(*(c + streak for c in base))

    return pixel


# ---------------------------------------------------------------- geometry

def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def add(*vectors):
    return tuple(sum(v[i] for v in vectors) for i in range(3))


class Mesh:
    """Polygons of corners (position, normal, texture coordinate or None), by material."""

    def __init__(self):
        self.groups = []  # (material name, [polygon, ...])

    def use(self, material):
        self.groups.append((material, []))

    def polygon(self, corners):
        positions = [c[0] for c in corners]
        facing = cross(sub(positions[1], positions[0]), sub(positions[2], positions[0]))
        if dot(facing, facing) < 1e-12:
            return  # degenerate, as at the poles of a sphere
        # Counter-clockwise seen from the side the normals point to.
        if dot(facing, add(*(c[1] for c in corners))) < 0:
            corners = list(reversed(corners))
        self.groups[-1][1].append(corners)


def quad_face(mesh, centre, normal, up, half_width, half_height, tiles=1.0):
    """A rectangle facing `normal`, `up` pointing to its top edge, with the
    picture upright on it, repeated `tiles` times in each direction (no
    texture coordinates when `tiles` is None)."""
    right = cross(up, normal)
    repeat = tiles or 0.0
    corners = [(-1, -1, 0.0, 0.0), (1, -1, repeat, 0.0), (1, 1, repeat, repeat), (-1, 1, 0.0, repeat)]
    mesh.polygon([
        (add(centre, scale(right, sx * half_width), scale(up, sy * half_height)), normal,
         (u, v) if tiles else None)
        for sx, sy, u, v in corners
    ])


def box(mesh, half, textured):
    """An axis-aligned cube of side 2 * half; each face shows the whole picture."""
    z_up, y_up = (0, 0, 1), (0, 1, 0)
    faces = [((0, -1, 0), z_up), ((0, 1, 0), z_up), ((-1, 0, 0), z_up), ((1, 0, 0), z_up),
             ((0, 0, 1), y_up), ((0, 0, -1), (0, -1, 0))]
    for normal, up in faces:
        quad_face(mesh, scale(normal, half), normal, up, half, half, tiles=1.0 if textured else None)


def torus(mesh, ring_radius, tube_radius, ring_segments, tube_segments):
    """A ring in the XZ plane (its hole faces the viewer), smooth normals."""
    def corner(i, j):
        a = 2.0 * math.pi * i / ring_segments
        b = 2.0 * math.pi * j / tube_segments
        outward = (math.cos(a), 0.0, math.sin(a))
        normal = add(scale(outward, math.cos(b)), (0.0, math.sin(b), 0.0))
        position = add(scale(outward, ring_radius), scale(normal, tube_radius))
        return (position, normal, None)

    for i in range(ring_segments):
        for j in range(tube_segments):
            mesh.polygon([corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)])


def sphere(mesh, radius, slices, stacks):
    def corner(i, j):
        theta = math.pi * j / stacks
        phi = 2.0 * math.pi * i / slices
        normal = (math.sin(theta) * math.cos(phi), math.sin(theta) * math.sin(phi), math.cos(theta))
        return (scale(normal, radius), normal, None)

    for i in range(slices):
        for j in range(stacks):
            quad = [corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1)]
            if j == 0:
                quad = [quad[0], quad[2], quad[3]]
            elif j == stacks - 1:
                quad = [quad[0], quad[1], quad[2]]
            mesh.polygon(quad)


def number(value):
    text = "%.5f" % value
    text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def write_obj(name, mesh, materials):
    """Writes Data/name.obj and Data/name.mtl; `materials` maps a material name
    to (diffuse rgb, texture file or None)."""
    positions, normals, coords = {}, {}, {}
    lines = ["# %s, made by make_demo.py" % name, "mtllib %s.mtl" % name]
    faces = []

    def index(table, key):
        if key not in table:
            table[key] = len(table) + 1
        return table[key]

    for material, polygons in mesh.groups:
        faces.append("usemtl " + material)
        for polygon in polygons:
            words = []
            for position, normal, coord in polygon:
                p = index(positions, tuple(number(c) for c in position))
                n = index(normals, tuple(number(c) for c in normal))
                if coord is None:
                    words.append("%d//%d" % (p, n))
                else:
                    words.append("%d/%d/%d" % (p, index(coords, tuple(number(c) for c in coord)), n))
            faces.append("f " + " ".join(words))

    lines += ["v " + " ".join(p) for p in positions]
    lines += ["vt " + " ".join(t) for t in coords]
    lines += ["vn " + " ".join(n) for n in normals]
    lines += faces
    with open(os.path.join(DATA_DIR, name + ".obj"), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")

    mtl = ["# %s materials, made by make_demo.py" % name]
    for material, (diffuse, texture) in materials.items():
        colour = " ".join(number(c) for c in diffuse)
        mtl += ["newmtl " + material, "Ka " + colour, "Kd " + colour, "Ks 0.3 0.3 0.3", "Ns 32", "d 1"]
        if texture:
            mtl.append("map_Kd " + texture)
        mtl.append("")
    with open(os.path.join(DATA_DIR, name + ".mtl"), "w", newline="\n") as out:
        out.write("\n".join(mtl))


# ---------------------------------------------------------------- scene

def identity():
    return [[1.0 if r == c else 0.0 for c in range(4)] for r in range(4)]


def multiply(a, b):
    return [[sum(a[r][k] * b[k][c] for k in range(4)) for c in range(4)] for r in range(4)]


def translate(x, y, z):
    m = identity()
    m[0][3], m[1][3], m[2][3] = x, y, z
    return m


def rotate_x(degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    m = identity()
    m[1][1], m[1][2], m[2][1], m[2][2] = c, -s, s, c
    return m


def rotate_y(degrees):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    m = identity()
    m[0][0], m[0][2], m[2][0], m[2][2] = c, s, -s, c
    return m


def matrix_line(*factors):
    """The product of the factors (the first applied last) as the scene file
    writes it: 16 numbers, column by column, translation in 12..14."""
    m = identity()
    for factor in factors:
        m = multiply(m, factor)
    return ",".join(number(m[r][c]) for c in range(4) for r in range(4)) + ";;"


class SceneWriter:
    def __init__(self):
        self.lines = []
        self.depth = 0

    def open(self, name, *factors):
        pad = "  " * self.depth
        self.lines.append(pad + ("Frame %s {" % name if name else "Frame {"))
        self.lines += [pad + "  FrameTransformMatrix {", pad + "    " + matrix_line(*factors), pad + "  }"]
        self.depth += 1

    def close(self):
        self.depth -= 1
        self.lines.append("  " * self.depth + "}")

    def leaf(self, name, *factors):
        self.open(name, *factors)
        self.close()


def write_scene():
    scene = SceneWriter()
    # The stage: everything stands on its floor, 1.7 below the eye and 13 ahead,
    # tipped 32 degrees towards the camera so the floor is seen from above.
    scene.open(None, translate(0, 1.7, 13), rotate_x(32))
    scene.leaf("Floor", identity())

    # A crate, with a smaller crate resting on it, turned half way.
    scene.open("Crate", translate(3.5, -1.0, -0.7), rotate_y(-28))
    scene.leaf("SmallCrate", translate(0.1, -1.6, 0.0), rotate_y(40))
    scene.close()

    scene.leaf("RedCube", translate(-3.6, -0.75, -0.4), rotate_y(32))
    scene.leaf("Torus", translate(-0.2, -1.5, 0.8), rotate_y(-35))

    # An arc of gold balls at the back: one mesh, five frames, in a group.
    scene.open(None, translate(0, -0.6, 5.0))
    for i in range(5):
        angle = math.radians(-64 + 32 * i)
        scene.leaf("Ball", translate(6.5 * math.sin(angle), 0, 2.2 * math.cos(angle)))
    scene.close()

    scene.close()
    with open(os.path.join(DEMO_DIR, "SceneGraph.sg"), "w", newline="\n") as out:
        out.write("\n".join(scene.lines) + "\n")


def main():
    os.makedirs(DATA_DIR, exist_ok=True)
    write_png(os.path.join(DATA_DIR, "checker.png"), 64, 64, checker_pixel)
    write_png(os.path.join(DATA_DIR, "crate.png"), 128, 128, make_crate_pixel())

    floor = Mesh()
    floor.use("Tiles")
    quad_face(floor, (0, 0, 0), (0, 0, 1), (0, 1, 0), 10.0, 10.0, tiles=10.0)
    write_obj("Floor", floor, {"Tiles": ((1, 1, 1), "checker.png")})

    crate = Mesh()
    crate.use("Wood")
    box(crate, 1.0, textured=True)
    write_obj("Crate", crate, {"Wood": ((1, 1, 1), "crate.png")})

    small_crate = Mesh()
    small_crate.use("Wood")
    box(small_crate, 0.6, textured=True)
    write_obj("SmallCrate", small_crate, {"Wood": ((1, 1, 1), "crate.png")})

    cube = Mesh()
    cube.use("Red")
    box(cube, 0.75, textured=False)
    write_obj("RedCube", cube, {"Red": ((0.85, 0.08, 0.06), None)})

    ring = Mesh()
    ring.use("Green")
    torus(ring, 1.05, 0.42, 40, 20)
    write_obj("Torus", ring, {"Green": ((0.15, 0.75, 0.3), None)})

    ball = Mesh()
    ball.use("Gold")
    sphere(ball, 0.6, 24, 14)
    write_obj("Ball", ball, {"Gold": ((1.0, 0.76, 0.2), None)})

    write_scene()


if __name__ == "__main__":
    main()

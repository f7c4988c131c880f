"""The add-on's speed on large grids in headless Blender: for each size and
command, the seconds spent moving the mesh into the host and back (leaving
and re-entering Edit Mode, the arrays both ways, writing back) and in the
command itself. Prints figures; asserts nothing.

KIVERA_ADDON_ZIP=... blender -b --factory-startup --python bench_addon.py [-- 10000 100000]
(with BLENDER_USER_CONFIG / BLENDER_USER_SCRIPTS naming a scratch folder)
"""

import os
import sys
import time

import bpy
import numpy as np

bpy.ops.preferences.addon_install(filepath=os.environ["KIVERA_ADDON_ZIP"])
bpy.ops.preferences.addon_enable(module="kivera")
import kivera  # noqa: E402

arguments = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
SIZES = [int(a) for a in arguments] or [10 ** 4, 10 ** 5, 10 ** 6]


def grid(faces):
    """A flat n x n grid of unit quads (about `faces` faces), built in bulk,
    its fronts facing +z, in Edit Mode with nothing selected."""
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj)
    n = int(round(faces ** 0.5))
    xs, ys = np.meshgrid(np.arange(n + 1, dtype=np.float32), np.arange(n + 1, dtype=np.float32))
    positions = np.stack([xs.ravel(), ys.ravel(), np.zeros(xs.size, np.float32)], 1)
    i, j = np.meshgrid(np.arange(n), np.arange(n))
    a = (j * (n + 1) + i).ravel()
    quads = np.stack([a, a + 1, a + n + 2, a + n + 1], 1).astype(np.int32)
    me = bpy.data.meshes.new("grid")
    me.vertices.add(len(positions))
    me.vertices.foreach_set("co", positions.ravel())
    me.loops.add(quads.size)
    me.loops.foreach_set("vertex_index", quads.ravel())
    me.polygons.add(len(quads))
    me.polygons.foreach_set("loop_start", np.arange(0, quads.size, 4, dtype=np.int32))
    me.polygons.foreach_set("loop_total", np.full(len(quads), 4, dtype=np.int32))
    me.update(calc_edges=True)
    me.uv_layers.new(name="UVMap")
    obj = bpy.data.objects.new("grid", me)
    bpy.context.scene.collection.objects.link(obj)
    bpy.context.view_layer.objects.active = obj
    obj.select_set(True)
    return obj, n


def select(obj, n, what):
    """Vertex selection: one vertex in the middle, or all; or 100 interior
    edges in the middle row for the groove."""
    me = obj.data
    chosen = np.zeros(len(me.vertices), dtype=bool)
    if what == "all":
        chosen[:] = True
    elif what == "middle":
        chosen[(n // 2) * (n + 1) + n // 2] = True
    me.vertices.foreach_set("select", chosen)
    edges = np.zeros(len(me.edges), dtype=bool)
    if what == "row":
        ev = np.empty(len(me.edges) * 2, dtype=np.int32)
        me.edges.foreach_get("vertices", ev)
        ev = ev.reshape(-1, 2)
        row = n // 2
        # Edges along y in the middle column, between rows row and row + 1,
        # for 100 columns: each lies between two faces.
        # Every other column, so that no two grooves share a face.
        low = row * (n + 1) + np.arange(1, n, 2)[:100]
        base = (n + 1) ** 2
        wanted = low.astype(np.int64) * base + (low + n + 1)
        keys = np.minimum(ev[:, 0], ev[:, 1]).astype(np.int64) * base + np.maximum(
            ev[:, 0], ev[:, 1])
        edges = np.isin(keys, wanted)
    # Edge select mode, as a person selecting edges works.
    bpy.context.tool_settings.mesh_select_mode = (what != "row", what == "row", False)
    me.edges.foreach_set("select", edges)
    me.polygons.foreach_set("select", np.zeros(len(me.polygons), dtype=bool))
    bpy.ops.object.mode_set(mode="EDIT")


CASES = [("select-neighbours", "middle", {}), ("rotate-by-view", "all",
                                               {"view_rotation": (30.0, 20.0, 0.0)}),
         ("cut-groove", "row", {})]
# The first run also loads the library and binds the plug-in: not measured.
obj, n = grid(100)
select(obj, n, "middle")
bpy.ops.kivera.select_neighbours()
bpy.ops.object.mode_set(mode="OBJECT")
print("%10s  %-18s %10s %10s %10s" % ("faces", "command", "transfer s", "command s", "total s"))
for size in SIZES:
    for command, what, properties in CASES:
        obj, n = grid(size)
        select(obj, n, what)
        started = time.perf_counter()
        outcome = getattr(bpy.ops.kivera, command.replace("-", "_"))(**properties)
        total = time.perf_counter() - started
        t = kivera.timings
        in_command = t["command end"] - t["command start"]
        transfer = (t["end"] - t["start"]) - in_command
        print("%10d  %-18s %10.3f %10.3f %10.3f  %s" % (n * n, command, transfer, in_command,
                                                       total, sorted(outcome)[0]))
        bpy.ops.object.mode_set(mode="OBJECT")

"""The add-on in headless Blender, installed from its zip: each command on a
mesh built with bmesh against kivera-host on the same mesh written as a
document (faces in the host's winding), undo, a failing command, and the
menus kivera.ini enables.

blender -b --factory-startup --python-exit-code 1 --python test_addon.py
with KIVERA_ADDON_ZIP, KIVERA_HOST and KIVERA_EXAMPLES set, and
BLENDER_USER_CONFIG / BLENDER_USER_SCRIPTS naming an empty folder.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile

import bmesh
import bpy
import numpy as np

ZIP, HOST = os.environ["KIVERA_ADDON_ZIP"], os.environ["KIVERA_HOST"]
EXAMPLES = os.environ["KIVERA_EXAMPLES"]
WORK = tempfile.mkdtemp(prefix="kivera-blender-")
failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what)
    if not condition:
        failures.append(what)


def clear_scene():
    if bpy.context.object and bpy.context.object.mode != "OBJECT":
        bpy.ops.object.mode_set(mode="OBJECT")
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj)
    for mesh in list(bpy.data.meshes):
        bpy.data.meshes.remove(mesh)


def build(document):
    """Blender objects from a document, faces turned to Blender's winding."""
    clear_scene()
    materials, slot_of = [], {}
    for index, entry in enumerate(document.get("materials", [])):
        if entry is None:
            continue
        slot_of[index] = len(materials)
        material = bpy.data.materials.new(entry["name"])
        material.use_nodes = True
        if entry.get("texture"):
            node = material.node_tree.nodes.new("ShaderNodeTexImage")
            node.image = bpy.data.images.new(entry["name"], 1, 1)
            node.image.filepath = entry["texture"]
        materials.append(material)
    objects = []
    for index, obj_data in enumerate(document["objects"]):
        bm = bmesh.new()
        uv = bm.loops.layers.uv.new("UVMap")
        verts = [bm.verts.new(p) for p in obj_data["vertices"]]
        bm.verts.ensure_lookup_table()
        for v in obj_data.get("selectedVertices", []):
            verts[v].select = True
        for face in obj_data["faces"]:
            points = face["points"]
            if len(points) == 2:
                edge = bm.edges.new([verts[p] for p in reversed(points)])
                edge.select_set(bool(face.get("selectedLines")))
                continue
            f = bm.faces.new([verts[p] for p in reversed(points)])
            if face.get("selected"):
                f.select_set(True)
            f.material_index = slot_of.get(face.get("material", -1), 0)
            corners = list(reversed(range(len(points))))
            for loop, k in zip(f.loops, corners):
                loop[uv].uv = face.get("uv", [[0, 0]] * len(points))[k]
            for line in face.get("selectedLines", []):
                a, b = verts[points[line]], verts[points[(line + 1) % len(points)]]
                bm.edges.get([a, b]).select_set(True)
        # Names sort as the objects are ordered, as the add-on orders them.
        mesh = bpy.data.meshes.new("m%02d" % index)
        bm.to_mesh(mesh)
        bm.free()
        obj = bpy.data.objects.new("o%02d" % index, mesh)
        for material in materials:
            mesh.materials.append(material)
        bpy.context.scene.collection.objects.link(obj)
        obj.select_set(True)
        objects.append(obj)
    bpy.context.view_layer.objects.active = objects[document.get("currentObject", 0)]
    bpy.ops.object.mode_set(mode="EDIT")
    return objects


def as_document(objects, view=None):
    """The Blender meshes as a document, element by element (independently
    of the add-on's bulk mapping): polygons reversed, then loose edges as
    lines; a selected edge selects its first line."""
    document = {"format": "kivera-document", "version": 1, "objects": [],
                "currentObject": objects.index(bpy.context.view_layer.objects.active)}
    if view is not None:
        document["view"] = [float(x) for x in view]
    materials = {}
    bpy.ops.object.mode_set(mode="OBJECT")   # UV maps are hidden in Edit Mode
    for obj in objects:
        me = obj.data
        for slot in me.materials:
            if slot.name not in materials:
                materials[slot.name] = len(materials)
        uv = me.uv_layers.active.data
        faces, taken = [], set()
        for p in me.polygons:
            loops = list(reversed(range(p.loop_start, p.loop_start + p.loop_total)))
            points = [me.loops[i].vertex_index for i in loops]
            lines = []
            for k in range(len(points)):
                key = frozenset((points[k], points[(k + 1) % len(points)]))
                edge = me.edges[me.edge_keys.index(tuple(sorted(key)))]
                if edge.select and key not in taken:
                    taken.add(key)
                    lines.append(k)
            face = {"points": points, "uv": [list(uv[i].uv) for i in loops],
                    "selected": p.select, "selectedLines": lines}
            if me.materials:
                face["material"] = materials[me.materials[p.material_index].name]
            faces.append(face)
        used = {key for p in me.polygons for key in p.edge_keys}
        for e in me.edges:
            if e.key not in used:
                faces.append({"points": [e.vertices[1], e.vertices[0]],
                              "selectedLines": [0] if e.select else []})
        document["objects"].append({
            "name": obj.name, "vertices": [list(v.co) for v in me.vertices], "faces": faces,
            "selectedVertices": [v.index for v in me.vertices if v.select]})
    document["materials"] = [{"name": name, "texture": texture_of(name)}
                             for name in materials]
    bpy.ops.object.mode_set(mode="EDIT")
    return document


def texture_of(name):
    for node in bpy.data.materials[name].node_tree.nodes:
        if node.type == "TEX_IMAGE" and node.image is not None:
            return node.image.filepath
    return ""


def blender_selection(obj_data):
    """The selection as Blender keeps it in vertex select mode: a selected
    line or face selects its vertices, and then exactly the edges and faces
    whose vertices are all selected are selected."""
    faces = [face for face in obj_data["faces"] if face]
    selected = set(obj_data.get("selectedVertices", []))
    for face in faces:
        points = face["points"]
        if face.get("selected"):
            selected |= set(points)
        for k in face.get("selectedLines", []):
            selected |= {points[k], points[(k + 1) % len(points)]}
    taken = set()
    for face in faces:
        points = face["points"]
        face["selected"] = len(points) > 2 and set(points) <= selected
        face["selectedLines"] = []
        for k in range(len(points) if len(points) > 2 else 1):
            key = frozenset((points[k], points[(k + 1) % len(points)]))
            if key <= selected and key not in taken:
                taken.add(key)
                face["selectedLines"].append(k)
    obj_data["selectedVertices"] = sorted(selected)


def canonical(document, as_blender=False):
    """Per object: positions, polygons (sorted, with UVs and selection),
    lines, selected vertices, selected lines, as comparable values."""
    result = []
    for obj_data in document["objects"]:
        if obj_data is None:
            continue
        if as_blender:
            blender_selection(obj_data)
        polygons, lines, selected_lines = [], set(), set()
        for face in obj_data["faces"]:
            if not face:
                continue
            points = face["points"]
            for k in face.get("selectedLines", []):
                selected_lines.add(frozenset((points[k], points[(k + 1) % len(points)])))
            if len(points) == 2:
                lines.add(frozenset(points))
            elif len(points) > 2:
                uvs = [tuple(np.float32(c) for c in pair)
                       for pair in face.get("uv", [[0, 0]] * len(points))]
                polygons.append((tuple(points), tuple(uvs), bool(face.get("selected"))))
        result.append({
            "positions": np.array(obj_data["vertices"], dtype=np.float32).tobytes(),
            "polygons": sorted(polygons), "lines": lines,
            "vertices": sorted(obj_data.get("selectedVertices", [])),
            "selected lines": selected_lines})
    return result


def run_host(document, command, dialog=None, folder=None):
    source = os.path.join(WORK, "in.json")
    target = os.path.join(WORK, "out.json")
    with open(source, "w") as out:
        json.dump(document, out)
    # out.json is this test's own, replaced on every run.
    line = [HOST, "run", source, "-c", command, "--out", target, "--force"]
    if dialog:
        line += ["--dialog", dialog]
    if folder:
        line += ["--system-dir", folder]
    done = subprocess.run(line, capture_output=True, text=True)
    if done.returncode != 0:
        print(done.stdout, done.stderr)
    with open(target) as result:
        return json.load(result)


def user_folder():
    return bpy.utils.user_resource("CONFIG", path="kivera", create=True)


def host_folder():
    """A type-5 folder for kivera-host with the same kivera.ini."""
    folder = os.path.join(WORK, "host")
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(os.path.join(os.path.dirname(HOST), "kivera.ini"),
                    os.path.join(folder, "kivera.ini"))
    return folder


# --- install ------------------------------------------------------------------
bpy.ops.preferences.addon_install(filepath=ZIP)
bpy.ops.preferences.addon_enable(module="kivera")
import kivera  # noqa: E402  (installed just now)

names = [name for _, _, name in kivera.commands.COMMANDS]
registered = [n for n in names if hasattr(bpy.ops.kivera, n.replace("-", "_"))]
check(len(names) == 19 and registered == names, "all nineteen kivera.* operators registered")

# --- each command against kivera-host ---------------------------------------------
saved = "0 0 1.5 2.5 3.5\n0 2 -1 -2 -3\n"
CASES = [
    ("select-points", "mixed-selection", {}, None),
    ("deselect-points", "mixed-selection", {}, None),
    ("deselect-edges-faces", "mixed-selection", {}, None),
    ("select-neighbours", "grid-center-vertex", {}, None),
    ("select-connected", "grid-ring", {}, None),
    ("select-edges-of-points", "grid-selected-points", {}, None),
    ("align-points", "align-two-objects", {}, None),
    ("fold-back-rim", "rim-sheet", {}, None),
    ("arrange-on-line", "zigzag", {"move_y": True}, "main-x move-y centre ok"),
    ("bulge", "bulge-profile", {}, None),
    ("save-points", "saved-points", {}, None),
    ("restore-points", "saved-points", {"x": True, "z": True}, "x z ok"),
    ("split-edges", "polyline", {}, None),
    ("rotate-by-view", "rotate-view", {"view_rotation": (30.0, 20.0, 0.0)}, None),
    ("cut-groove", "ridge", {}, None),
    ("copy-uv", "uv-copy", {}, None),
    ("reload-textures", "materials", {}, None),
    ("bevel", "ridge", {}, None),
    ("measure-angle", "face-angle", {}, None),
]
for command, example, properties, dialog in CASES:
    with open(os.path.join(EXAMPLES, example + ".json")) as source:
        objects = build(json.load(source))
    view = None
    if command == "rotate-by-view":
        view = kivera.session().view_from_angles(*properties["view_rotation"])
    document = as_document(objects, view)
    folder = host_folder()
    for where in (folder, user_folder()):
        if os.path.exists(os.path.join(where, "kivera.idx")):
            os.remove(os.path.join(where, "kivera.idx"))
        if command == "restore-points":
            with open(os.path.join(where, "kivera.idx"), "w") as out:
                out.write(saved)
    expected = canonical(run_host(document, command, dialog, folder), as_blender=True)
    outcome = getattr(bpy.ops.kivera, command.replace("-", "_"))(**properties)
    got = canonical(as_document(objects, view))
    same = got == expected
    if not same:
        for a, b in zip(got, expected):
            for key in a:
                if a[key] != b[key]:
                    print("  %s differs:\n    blender %r\n    host    %r" % (key, a[key], b[key]))
    check(same and outcome == {"FINISHED"}, "%s on %s matches kivera-host" % (command, example))
    if command == "save-points":
        with open(os.path.join(folder, "kivera.idx")) as a, \
                open(os.path.join(user_folder(), "kivera.idx")) as b:
            check(a.read() == b.read(), "save-points writes the same kivera.idx")

# --- the groove on a flat grid, and undo -----------------------------------------------
grid = {"objects": [{"vertices": [[x * 6.0, y * 6.0, 0.0] for y in range(4) for x in range(4)],
                     "faces": [{"points": [y * 4 + x, (y + 1) * 4 + x, (y + 1) * 4 + x + 1,
                                           y * 4 + x + 1]} for y in range(3) for x in range(3)]}]}
# Host winding: clockwise seen from +z, so the faces' fronts face +z.
grid["objects"][0]["faces"][3]["selectedLines"] = [2]   # the line x = 6, y 6..12
objects = build(grid)
me = objects[0].data
objects[0].update_from_editmode()
before = [tuple(v.co) for v in me.vertices]
normals_up = all(p.normal.z > 0.99 for p in me.polygons)
faces_before = len(me.polygons)
bpy.ops.ed.undo_push(message="before groove")
outcome = bpy.ops.kivera.cut_groove()
bpy.ops.ed.undo_push(message="groove")
objects[0].update_from_editmode()
added = [tuple(v.co) for v in me.vertices[len(before):]]
print("  groove: normals up %s, %s, faces %d -> %d, added %r" % (
    normals_up, outcome, faces_before, len(me.polygons), added))
check(normals_up and outcome == {"FINISHED"} and len(added) == 8 and
      len(me.polygons) == faces_before + 3 and
      sorted(round(z, 6) for _, _, z in added) == [-2.0] * 4 + [0.0] * 4,
      "cut_groove on a flat grid of 6-unit faces: 8 vertices, 5 faces for 2, four at z = -2")
bpy.ops.ed.undo()
obj = bpy.data.objects[objects[0].name]
obj.update_from_editmode()
check([tuple(v.co) for v in obj.data.vertices] == before and
      len(obj.data.polygons) == faces_before, "undo gives back the positions and faces")

# --- what the groove does not touch keeps its data --------------------------------------
objects = build(grid)
obj = objects[0]
bpy.ops.object.mode_set(mode="OBJECT")
me = obj.data
group = obj.vertex_groups.new(name="weights")
for v in me.vertices:
    group.add([v.index], v.index / 16.0, "REPLACE")
second = me.uv_layers.new(name="second")
for i, loop in enumerate(second.data):
    loop.uv = (i * 0.01, 0.5)
for p in me.polygons:
    p.use_smooth = p.index % 2 == 0
me.edges[0].use_seam = True
seams = [e.vertices[:] for e in me.edges if e.use_seam]
kept_uv = {p.index: [second.data[i].uv[:] for i in p.loop_indices] for p in me.polygons}
bpy.ops.object.mode_set(mode="EDIT")
bpy.ops.kivera.cut_groove()
bpy.ops.object.mode_set(mode="OBJECT")
me = obj.data
weights = [obj.vertex_groups["weights"].weight(v) for v in range(16)]
new_smooth = [p.use_smooth for p in me.polygons[7:]]
check(weights == [v / 16.0 for v in range(16)] and
      [e.vertices[:] for e in me.edges if e.use_seam] == seams and
      all([me.uv_layers["second"].data[i].uv[:] for i in me.polygons[p].loop_indices] ==
          kept_uv[p if p < 3 else p + 2] for p in range(7)) and
      new_smooth == [False] * 4 + [True],
      "the groove keeps vertex groups, seams, other UV maps; new faces take the smooth flag "
      "of the face they replace: %r" % new_smooth)
bpy.ops.object.mode_set(mode="EDIT")

# --- a failing command leaves the mesh untouched ------------------------------------
objects = build(grid)
me = objects[0].data
objects[0].update_from_editmode()
state = (me.vertices[0].co.copy(), len(me.vertices), [v.select for v in me.vertices])
if os.path.exists(os.path.join(user_folder(), "kivera.idx")):
    os.remove(os.path.join(user_folder(), "kivera.idx"))
try:
    outcome = bpy.ops.kivera.restore_points(x=True)
except RuntimeError:   # the operator reported an error
    outcome = {"CANCELLED"}
objects[0].update_from_editmode()
check(outcome == {"CANCELLED"} and
      (me.vertices[0].co.copy(), len(me.vertices), [v.select for v in me.vertices]) == state,
      "restore_points without saved points fails and leaves the mesh untouched")

# --- menus list what kivera.ini enables ---------------------------------------------
settings = os.path.join(user_folder(), "kivera.ini")
with open(settings, "rb") as source:
    original = source.read()
with open(settings, "wb") as out:
    out.write("点を選択 = 1\nすじ彫りを入れる = 1\nべべるん = 0\n".encode("cp932"))


class Layout:
    def __init__(self):
        self.entries = []

    def operator(self, idname, text=""):
        self.entries.append(idname)

    def label(self, text=""):
        self.entries.append(text)


shown = {}
for menu in (kivera.KIVERA_MT_select, kivera.KIVERA_MT_mesh):
    layout = Layout()
    kivera._draw_entries(layout, kivera._SELECTION_ROWS if menu is kivera.KIVERA_MT_select
                         else [r for r in range(19) if r not in kivera._SELECTION_ROWS])
    shown[menu.bl_idname] = layout.entries
check(shown == {"KIVERA_MT_select": ["kivera.select_points"],
                "KIVERA_MT_mesh": ["kivera.cut_groove"]},
      "menus list only what kivera.ini enables: %r" % shown)
try:
    outcome = bpy.ops.kivera.bevel()
except RuntimeError:
    outcome = {"CANCELLED"}
check(outcome == {"CANCELLED"}, "a command kivera.ini does not enable is refused")
with open(settings, "wb") as out:
    out.write(original)

shutil.rmtree(WORK)
print("%d failed" % len(failures))
sys.exit(1 if failures else 0)

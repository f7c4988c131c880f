"""kivera's nineteen modelling and selection commands in Blender's Edit Mode.

The add-on is a front end of the stand-in host library: it hands the meshes
in Edit Mode to the host library (libkiverarun.so), which runs the real
kivera.so through MQInit, MQEnumString and MQModifySelect as kivera-host
does, and writes the result back. No command is written again in Python.
"""

bl_info = {
    "name": "kivera",
    "author": "kivera",
    "version": (0, 2, 0),
    "blender": (3, 4, 0),
    "location": "View3D > Edit Mode > Select > kivera, Mesh > kivera",
    "description": "Grow selections, line vertices up, cut grooves, bevel guide lines, "
                   "fold back rims, copy UVs and more, through the kivera plug-in",
    "category": "Mesh",
}

import math
import os
import shutil
import time

import bpy
from bpy.props import BoolProperty, EnumProperty, FloatVectorProperty, IntProperty

from . import commands, mesh_transfer, native

_NATIVE = os.path.join(os.path.dirname(__file__), "native")
# Rows of the command table that only change the selection: the Select menu.
_SELECTION_ROWS = range(0, 6)
_GROOVE_ROW, _BEVEL_ROW, _ROTATE_ROW = 14, 17, 13
_state = {"library": None, "session": None}
# Seconds of the last run's parts, for the bench: the mesh into the host
# (Edit Mode left, arrays read and handed over), the command, and back.
timings = {}


def user_folder():
    """The add-on's folder: kivera.ini, the saved points (kivera.idx) and
    the plug-in beside them, as the plug-in expects its settings folder."""
    return bpy.utils.user_resource("CONFIG", path="kivera", create=True)


def _same_file(a, b):
    if not os.path.exists(b) or os.path.getsize(a) != os.path.getsize(b):
        return False
    with open(a, "rb") as first, open(b, "rb") as second:
        return first.read() == second.read()


def _install_user_files(folder):
    """The plug-in reads its menu's kivera.ini from the folder above its own,
    so it is copied below the user folder; kivera.ini (every command
    enabled) only when the user has none, since it is theirs to edit."""
    plugins = os.path.join(folder, "plugins")
    os.makedirs(plugins, exist_ok=True)
    plugin = os.path.join(plugins, "kivera.so")
    shipped = os.path.join(_NATIVE, "kivera.so")
    if not _same_file(shipped, plugin):
        temporary = plugin + ".new"
        shutil.copyfile(shipped, temporary)
        os.replace(temporary, plugin)
    settings = os.path.join(folder, "kivera.ini")
    if not os.path.exists(settings):
        shutil.copyfile(os.path.join(_NATIVE, "kivera.ini"), settings)
    return plugin


def session():
    if _state["session"] is None:
        if _state["library"] is None:
            _state["library"] = native.Library(os.path.join(_NATIVE, "libkiverarun.so"))
        folder = user_folder()
        plugin = _install_user_files(folder)
        _state["session"] = native.Session(_state["library"], plugin, folder)
    return _state["session"]


def menu_label(text, name):
    """The Japanese menu text (code page 932 bytes from MQEnumString, or
    already text) and the English name."""
    if isinstance(text, bytes):
        text = text.decode("cp932", "replace")
    return "%s (%s)" % (text, name)


def _edit_objects(context):
    """The meshes in Edit Mode, in a stable order (by name), and the index of
    the active one."""
    seen, objects = set(), []
    for obj in sorted(context.objects_in_mode, key=lambda o: o.name):
        if obj.type == "MESH" and obj.data.name not in seen:
            seen.add(obj.data.name)
            objects.append(obj)
    active = context.active_object
    current = objects.index(active) if active in objects else 0
    return objects, current


def _texture_of(material):
    """The file name of the material's first image texture, or ""."""
    if material is None or not material.use_nodes or material.node_tree is None:
        return "", None
    for node in material.node_tree.nodes:
        if node.type == "TEX_IMAGE" and node.image is not None:
            return node.image.filepath, node.image
    return "", None


def _front_view_rotation():
    import mathutils
    return mathutils.Euler((math.radians(90.0), 0.0, 0.0)).to_matrix()


def view_matrix(kivera_session, context, angles):
    """The view as the host stores it: the 3D viewport's rotation relative to
    Blender's front view (so that the front view keeps every position, as
    the host's front view does), else the angles in degrees."""
    region = getattr(context, "region_data", None)
    if region is None:   # the redo panel: the viewport of its area
        region = getattr(getattr(context, "space_data", None), "region_3d", None)
    if region is not None and hasattr(region, "view_rotation"):
        # view_rotation turns the world into the view; the front view is Rx(-90).
        rotation = region.view_rotation.to_matrix() @ _front_view_rotation()
        return kivera_session.view_from_rotation([rotation[i][j] for i in range(3)
                                                  for j in range(3)])
    return kivera_session.view_from_angles(*angles)


def run_command(operator, context, row, answer="", scale_exponent=0, angles=(0.0, 0.0, 0.0)):
    s = session()
    entries = [entry for entry in s.menu() if entry[2] == row]
    if not entries:
        operator.report({"ERROR"}, "kivera: %s is not enabled in %s" %
                        (commands.NAMES[row], os.path.join(user_folder(), "kivera.ini")))
        return {"CANCELLED"}
    menu_index = entries[0][0]
    objects, current = _edit_objects(context)
    if not objects:
        operator.report({"ERROR"}, "kivera: no mesh in Edit Mode")
        return {"CANCELLED"}

    # Out of Edit Mode for the transfer and back, all objects at once: the
    # edit meshes are written to the meshes and read again from them.
    timings.clear()
    timings["start"] = time.perf_counter()
    bpy.ops.object.mode_set(mode="OBJECT")
    states = []
    try:
        outcome = _run_on(operator, context, s, row, menu_index, objects, current, answer,
                          scale_exponent, angles, states)
    finally:
        bpy.ops.object.mode_set(mode="EDIT")
    for state in states:
        mesh_transfer.delete_removed(state)
    timings["end"] = time.perf_counter()
    return outcome


def _run_on(operator, context, s, row, menu_index, objects, current, answer, scale_exponent,
            angles, states):
    s.clear()
    images, offsets = {}, []
    for obj in objects:
        offsets.append(len(images))
        for slot in obj.data.materials:
            name, image = _texture_of(slot)
            index = s.add_material(slot.name if slot else "", name)
            images[index] = image
    for obj, offset in zip(objects, offsets):
        state = mesh_transfer.MeshState(obj)
        states.append(state)
        s.add_object(obj.name, *state.host_arrays(offset, len(obj.data.materials)))
    s.set_current_object(current)
    s.set_view(view_matrix(s, context, angles))

    timings["command start"] = time.perf_counter()
    result = s.run(menu_index, answer, scale_exponent)
    timings["command end"] = time.perf_counter()
    report, messages, explanation, note, _ = s.run_texts()
    for line in messages:
        operator.report({"ERROR"} if "Error file open" in line else {"INFO"}, line)
    if note:
        operator.report({"WARNING"}, note.replace("--scale 2^", "scale_exponent "))
    if result == 0:
        operator.report({"WARNING"}, explanation or "%s stopped early" % commands.NAMES[row])
        return {"CANCELLED"}
    for index, (obj, state, offset) in enumerate(zip(objects, states, offsets)):
        host_object = s.read_object(index)
        if mesh_transfer.changed(state, host_object):
            mesh_transfer.write_back(state, host_object, offset, len(obj.data.materials))
    for index, material in enumerate(s.materials()):
        if material[4] and images.get(index) is not None:
            images[index].reload()
    summary = " ".join(line.strip() for line in report.splitlines()) or "no change"
    operator.report({"INFO"}, "%s: %s" % (commands.NAMES[row], summary))
    if explanation:
        operator.report({"INFO"}, explanation)
    return {"FINISHED"}


def _run_guarded(operator, context, *args):
    try:
        return run_command(operator, context, *args)
    except native.KiveraError as failure:
        operator.report({"ERROR"}, "kivera: %s" % failure)
        return {"CANCELLED"}


class _KiveraOperator:
    bl_options = {"REGISTER", "UNDO"}

    @classmethod
    def poll(cls, context):
        return context.mode == "EDIT_MESH"

    def execute(self, context):
        return _run_guarded(self, context, self.kivera_row)


def _arrange_answer(op):
    words = ["main-" + op.main_axis.lower()]
    words += [name for name, on in (("move-x", op.move_x), ("move-y", op.move_y),
                                    ("move-z", op.move_z), ("object", op.object_mode)) if on]
    words.append(op.reference.lower())
    words += [name for name, on in (("equal", op.equal_division), ("all", op.move_all)) if on]
    return " ".join(words + ["ok"])


class KIVERA_OT_arrange_on_line(_KiveraOperator, bpy.types.Operator):
    main_axis: EnumProperty(name="Main axis", items=[("X", "X", ""), ("Y", "Y", ""),
                                                     ("Z", "Z", "")], default="X")
    move_x: BoolProperty(name="Move X")
    move_y: BoolProperty(name="Move Y")
    move_z: BoolProperty(name="Move Z")
    object_mode: BoolProperty(name="Object", description="Move whole objects")
    reference: EnumProperty(name="Reference", items=[("MAX", "Max", ""), ("CENTRE", "Centre", ""),
                                                     ("MIN", "Min", "")], default="CENTRE")
    equal_division: BoolProperty(name="Equal division")
    move_all: BoolProperty(name="All")

    def execute(self, context):
        return _run_guarded(self, context, self.kivera_row, _arrange_answer(self))


class KIVERA_OT_restore_points(_KiveraOperator, bpy.types.Operator):
    x: BoolProperty(name="X")
    y: BoolProperty(name="Y")
    z: BoolProperty(name="Z")

    def execute(self, context):
        axes = [name for name, on in (("x", self.x), ("y", self.y), ("z", self.z)) if on]
        return _run_guarded(self, context, self.kivera_row, " ".join(axes + ["ok"]))


class _ScaledOperator(_KiveraOperator):
    scale_exponent: IntProperty(name="Scale exponent", default=0, min=-126, max=126,
                                description="Positions times 2^K for the command, divided "
                                            "after: the fixed size 2.0 acts as 2.0 / 2^K")

    def execute(self, context):
        return _run_guarded(self, context, self.kivera_row, "", self.scale_exponent)


class KIVERA_OT_rotate_by_view(_KiveraOperator, bpy.types.Operator):
    view_rotation: FloatVectorProperty(name="View rotation", size=3, default=(0.0, 0.0, 0.0),
                                       description="Yaw, pitch, roll in degrees, used "
                                                   "without a 3D viewport (front view: 0, 0, 0)")

    def execute(self, context):
        return _run_guarded(self, context, self.kivera_row, "", 0, tuple(self.view_rotation))


_SPECIAL = {8: KIVERA_OT_arrange_on_line, 11: KIVERA_OT_restore_points,
            _ROTATE_ROW: KIVERA_OT_rotate_by_view}


def _operator_classes():
    classes = []
    for row, text, name in commands.COMMANDS:
        idname = name.replace("-", "_")
        base = _SPECIAL.get(row)
        if base is None:
            parents = (_ScaledOperator if row in (_GROOVE_ROW, _BEVEL_ROW) else _KiveraOperator,
                       bpy.types.Operator)
            base = type("KIVERA_OT_" + idname, parents, {"__annotations__": {}})
            if row in (_GROOVE_ROW, _BEVEL_ROW):
                base.__annotations__["scale_exponent"] = _ScaledOperator.__annotations__[
                    "scale_exponent"]
        base.bl_idname = "kivera." + idname
        base.bl_label = menu_label(text, name)
        base.bl_description = "kivera: %s" % name
        base.kivera_row = row
        classes.append(base)
    return classes


def _draw_entries(layout, rows):
    try:
        entries = session().menu()
    except native.KiveraError as failure:
        layout.label(text="kivera: %s" % failure)
        return
    for _, text, row, name, _ in entries:
        if row in rows:
            layout.operator("kivera." + name.replace("-", "_"), text=menu_label(text, name))


class KIVERA_MT_select(bpy.types.Menu):
    bl_idname = "KIVERA_MT_select"
    bl_label = "kivera"

    def draw(self, context):
        _draw_entries(self.layout, _SELECTION_ROWS)


class KIVERA_MT_mesh(bpy.types.Menu):
    bl_idname = "KIVERA_MT_mesh"
    bl_label = "kivera"

    def draw(self, context):
        _draw_entries(self.layout, [row for row, _, _ in commands.COMMANDS
                                    if row not in _SELECTION_ROWS])


def _select_menu(self, context):
    self.layout.menu(KIVERA_MT_select.bl_idname)


def _mesh_menu(self, context):
    self.layout.menu(KIVERA_MT_mesh.bl_idname)


_classes = []


def register():
    _classes[:] = _operator_classes() + [KIVERA_MT_select, KIVERA_MT_mesh]
    for cls in _classes:
        bpy.utils.register_class(cls)
    bpy.types.VIEW3D_MT_select_edit_mesh.append(_select_menu)
    bpy.types.VIEW3D_MT_edit_mesh.append(_mesh_menu)


def unregister():
    bpy.types.VIEW3D_MT_edit_mesh.remove(_mesh_menu)
    bpy.types.VIEW3D_MT_select_edit_mesh.remove(_select_menu)
    for cls in reversed(_classes):
        bpy.utils.unregister_class(cls)
    _classes.clear()
    if _state["session"] is not None:
        _state["session"].close()
        _state["session"] = None

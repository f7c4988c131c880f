"""Renders the README's picture of the add-on at work, headless: a flat grid
of 6-unit faces after kivera.cut_groove on one interior edge.

KIVERA_ADDON_ZIP=... blender -b --factory-startup --python render_example.py -- OUT.png
(with BLENDER_USER_CONFIG / BLENDER_USER_SCRIPTS naming a scratch folder)
"""

import math
import os
import sys

import bmesh
import bpy

bpy.ops.preferences.addon_install(filepath=os.environ["KIVERA_ADDON_ZIP"])
bpy.ops.preferences.addon_enable(module="kivera")
out = sys.argv[sys.argv.index("--") + 1]

for obj in list(bpy.data.objects):
    bpy.data.objects.remove(obj)
me = bpy.data.meshes.new("grid")
bm = bmesh.new()
bmesh.ops.create_grid(bm, x_segments=4, y_segments=4, size=12.0)
bm.to_mesh(me)
obj = bpy.data.objects.new("grid", me)
bpy.context.scene.collection.objects.link(obj)
bpy.context.view_layer.objects.active = obj
obj.select_set(True)
bpy.ops.object.mode_set(mode="EDIT")
bpy.context.tool_settings.mesh_select_mode = (False, True, False)
bm = bmesh.from_edit_mesh(me)
for element in list(bm.verts) + list(bm.edges) + list(bm.faces):
    element.select = False
# The interior edges along y at x = 0: grooves across the middle.
for e in bm.edges:
    a, b = e.verts[0].co, e.verts[1].co
    if abs(a.x) < 1e-4 and abs(b.x) < 1e-4 and not e.is_boundary:
        e.select_set(True)
bmesh.update_edit_mesh(me)
print(bpy.ops.kivera.cut_groove())
bpy.ops.object.mode_set(mode="OBJECT")

material = bpy.data.materials.new("clay")
material.diffuse_color = (0.8, 0.75, 0.7, 1.0)
me.materials.append(material)
camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
camera.location = (30.0, -36.0, 34.0)
camera.rotation_euler = (math.radians(48), 0.0, math.radians(40))
bpy.context.scene.collection.objects.link(camera)
sun = bpy.data.objects.new("sun", bpy.data.lights.new("sun", "SUN"))
sun.rotation_euler = (math.radians(40), math.radians(20), math.radians(30))
sun.data.energy = 4.0
bpy.context.scene.collection.objects.link(sun)
scene = bpy.context.scene
scene.camera = camera
scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = 16
scene.cycles.use_denoising = False
scene.render.resolution_x, scene.render.resolution_y = 640, 400
scene.render.filepath = out
bpy.ops.render.render(write_still=True)

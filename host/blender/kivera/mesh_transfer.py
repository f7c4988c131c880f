"""Blender meshes to the host's flat arrays and back, in bulk.

Blender's faces run counter-clockwise seen from their front, the host's
clockwise: each face's corners are reversed on the way in and out, so host
corner k of a face of n corners is Blender loop n - 1 - k, and host line k
(corners k and k + 1) is the edge of Blender loop (n - 2 - k) mod n.
Everything crosses with foreach_get/foreach_set and numpy outside Edit
Mode; only what a command deleted is visited one by one, in bmesh, back in
Edit Mode.
"""

import bmesh
import numpy as np


def _get(collection, attribute, dtype, count, width=1):
    values = np.empty(count * width, dtype=dtype)
    if count:
        collection.foreach_get(attribute, values)
    return values.reshape(count, width) if width > 1 else values


def _edge_keys(a, b, vertex_count):
    low, high = np.minimum(a, b).astype(np.int64), np.maximum(a, b).astype(np.int64)
    return low * max(vertex_count, 1) + high


def _host_layout(sizes):
    """For corners laid out face after face: each corner's face, its place
    in the face and each face's first corner."""
    starts = (np.cumsum(sizes) - sizes).astype(np.int64)
    face_of = np.repeat(np.arange(len(sizes)), sizes)
    place = np.arange(int(np.sum(sizes))) - starts[face_of]
    return starts, face_of, place


class MeshState:
    """One object's mesh as the command found it, in both layouts."""

    def __init__(self, obj):
        # Read outside Edit Mode (Blender hides a mesh's UV maps while it is
        # edited), as the caller arranges.
        me = obj.data
        self.obj = obj
        self.removed = []
        V, E, P, L = len(me.vertices), len(me.edges), len(me.polygons), len(me.loops)
        self.vertex_count, self.face_count, self.loop_count = V, P, L
        self.positions = _get(me.vertices, "co", np.float32, V, 3)
        self.vertex_selected = _get(me.vertices, "select", bool, V)
        self.edge_vertices = _get(me.edges, "vertices", np.int32, E, 2)
        self.edge_selected = _get(me.edges, "select", bool, E)
        self.loop_start = _get(me.polygons, "loop_start", np.int32, P)
        self.loop_total = _get(me.polygons, "loop_total", np.int32, P)
        self.face_selected = _get(me.polygons, "select", bool, P)
        self.material_index = _get(me.polygons, "material_index", np.int32, P)
        self.smooth = _get(me.polygons, "use_smooth", bool, P)
        self.loop_vertex = _get(me.loops, "vertex_index", np.int32, L)
        self.loop_edge = _get(me.loops, "edge_index", np.int32, L)
        layer = me.uv_layers.active
        self.uv = _get(layer.data, "uv", np.float32, L, 2) if layer else None

        # Host corner c of face f is Blender loop blender_loop[c].
        _, face_of, place = _host_layout(self.loop_total)
        total = self.loop_total[face_of]
        start = self.loop_start[face_of]
        self.face_of, self.place = face_of, place
        self.blender_loop = start + total - 1 - place
        self.corners = np.ascontiguousarray(self.loop_vertex[self.blender_loop], dtype=np.int32)
        line_loop = start + (total - 2 - place) % np.maximum(total, 1)
        self.line_selected = self.edge_selected[self.loop_edge[line_loop]].astype(np.uint8)
        self.uvs = (np.ascontiguousarray(self.uv[self.blender_loop]) if self.uv is not None
                    else np.zeros((L, 2), dtype=np.float32))

    def host_arrays(self, material_offset, material_count):
        """The arguments of Session.add_object after the name."""
        if material_count:
            materials = np.where(self.material_index < material_count,
                                 self.material_index + material_offset, -1).astype(np.int32)
        else:
            materials = np.full(self.face_count, -1, dtype=np.int32)
        return (np.ascontiguousarray(self.positions), np.ascontiguousarray(self.loop_total),
                self.corners, self.vertex_selected.astype(np.uint8),
                self.face_selected.astype(np.uint8), self.line_selected, self.uvs, materials)


def changed(state, result):
    """Whether the host's object differs from what was sent."""
    sizes = result["face_sizes"]
    return not (len(result["positions"]) == state.vertex_count and
                len(sizes) == state.face_count and
                np.array_equal(sizes, state.loop_total) and
                np.array_equal(result["corners"], state.corners) and
                np.array_equal(result["positions"].view(np.uint32),
                               state.positions.view(np.uint32)) and
                np.array_equal(result["vertex_selected"], state.vertex_selected) and
                np.array_equal(result["face_selected"], state.face_selected) and
                np.array_equal(result["line_selected"], state.line_selected) and
                np.array_equal(result["uvs"].view(np.uint32), state.uvs.view(np.uint32)))


def write_back(state, result, material_offset, material_count):
    """Writes the host's object into the Blender mesh it came from: moved and
    added vertices, added and deleted faces, selection, the active UV map.
    Faces the command kept keep everything else; a face that replaces
    another takes its material and smooth flag."""
    me = state.obj.data
    V0, P0, L0 = state.vertex_count, state.face_count, state.loop_count
    sizes, origins, corners = result["face_sizes"], result["face_origins"], result["corners"]
    V1, F1 = len(result["positions"]), len(sizes)
    assert V1 >= V0 and F1 >= P0, "the host deletes no vertex and no face slot"
    host_start, host_face_of, host_place = _host_layout(sizes)

    slot = np.arange(F1)
    kept = np.zeros(F1, dtype=bool)
    kept[:P0] = origins[:P0] == slot[:P0]
    fresh = ~kept & (sizes > 0)
    new_faces = np.nonzero(fresh & (sizes >= 3))[0]
    new_lines = np.nonzero(fresh & (sizes == 2))[0]
    removed = np.nonzero(~kept[:P0])[0]

    if V1 > V0:
        me.vertices.add(V1 - V0)
    me.vertices.foreach_set("co", np.ascontiguousarray(result["positions"]).ravel())
    me.vertices.foreach_set("select", result["vertex_selected"].astype(bool))

    # Kept faces' corners: old host corner -> the same corner in the result.
    old_kept = kept[state.face_of] if P0 else np.zeros(0, dtype=bool)
    result_corner = host_start[state.face_of[old_kept]] + state.place[old_kept]
    kept_loops = state.blender_loop[old_kept]

    edge_vertices = state.edge_vertices
    loop_total, loop_start = state.loop_total, state.loop_start
    loop_vertex, loop_edge = state.loop_vertex, state.loop_edge
    uv = state.uv.copy() if state.uv is not None else None
    if uv is not None:
        uv[kept_loops] = result["uvs"][result_corner]
    materials, smooth = state.material_index, state.smooth

    if len(new_faces) or len(new_lines):
        new_sizes = sizes[new_faces]
        count = int(new_sizes.sum())
        new_start = (np.cumsum(new_sizes) - new_sizes).astype(np.int64)
        rep_face = np.repeat(new_faces, new_sizes)
        rep_size = np.repeat(new_sizes, new_sizes)
        place = np.arange(count) - np.repeat(new_start, new_sizes)
        source = host_start[rep_face] + rep_size - 1 - place      # reversed
        new_loop_vertex = corners[source]
        following = np.arange(count) + 1
        last = place == rep_size - 1
        following[last] -= rep_size[last]
        keys_needed = _edge_keys(new_loop_vertex, new_loop_vertex[following], V1)
        line_a = corners[host_start[new_lines]]
        line_b = corners[host_start[new_lines] + 1]
        existing = _edge_keys(edge_vertices[:, 0], edge_vertices[:, 1], V1)
        wanted = np.unique(np.concatenate([keys_needed, _edge_keys(line_a, line_b, V1)]))
        missing = wanted[~np.isin(wanted, existing)]
        if len(missing):
            me.edges.add(len(missing))
            pairs = np.stack([missing // max(V1, 1), missing % max(V1, 1)], axis=1)
            edge_vertices = np.concatenate([edge_vertices, pairs.astype(np.int32)])
            me.edges.foreach_set("vertices", edge_vertices.ravel())
        all_keys = _edge_keys(edge_vertices[:, 0], edge_vertices[:, 1], V1)
        order = np.argsort(all_keys, kind="stable")
        new_loop_edge = order[np.searchsorted(all_keys[order], keys_needed)]
        if len(new_faces):
            me.loops.add(count)
            me.polygons.add(len(new_faces))
            loop_start = np.concatenate([loop_start, L0 + new_start]).astype(np.int32)
            loop_total = np.concatenate([loop_total, new_sizes]).astype(np.int32)
            loop_vertex = np.concatenate([loop_vertex, new_loop_vertex]).astype(np.int32)
            loop_edge = np.concatenate([loop_edge, new_loop_edge]).astype(np.int32)
            me.loops.foreach_set("vertex_index", loop_vertex)
            me.loops.foreach_set("edge_index", loop_edge)
            me.polygons.foreach_set("loop_start", loop_start)
            me.polygons.foreach_set("loop_total", loop_total)
            origin = origins[new_faces]
            inherits = (origin >= 0) & (origin < P0)
            host_material = result["face_materials"][new_faces] - material_offset
            own = np.where((host_material >= 0) & (host_material < material_count),
                           host_material, 0)
            materials = np.concatenate([materials, np.where(
                inherits, state.material_index[np.where(inherits, origin, 0)], own)])
            smooth = np.concatenate([smooth, inherits & state.smooth[np.where(inherits, origin, 0)]])
            me.polygons.foreach_set("material_index", materials.astype(np.int32))
            me.polygons.foreach_set("use_smooth", smooth)
            if uv is not None:
                uv = np.concatenate([uv, result["uvs"][source]])

    # Selection: faces as the host has them, edges from the host's lines;
    # loose edges (never sent) keep theirs.
    face_selected = np.concatenate([result["face_selected"][:P0].astype(bool),
                                    result["face_selected"][new_faces].astype(bool)])
    me.polygons.foreach_set("select", face_selected)
    edge_selected = np.zeros(len(edge_vertices), dtype=bool)
    used = np.zeros(len(edge_vertices), dtype=bool)
    used[loop_edge] = True
    loose = ~used
    loose[:len(state.edge_selected)] &= state.edge_selected
    loose[len(state.edge_selected):] = False
    edge_selected |= loose
    live = sizes[host_face_of] >= 2 if len(corners) else np.zeros(0, dtype=bool)
    chosen = (result["line_selected"] != 0) & live
    if chosen.any():
        nxt = np.arange(len(corners)) + 1
        wrap = host_place == sizes[host_face_of] - 1
        nxt[wrap] -= sizes[host_face_of][wrap]
        keys = _edge_keys(corners[chosen], corners[nxt[chosen]], V1)
        all_keys = _edge_keys(edge_vertices[:, 0], edge_vertices[:, 1], V1)
        order = np.argsort(all_keys, kind="stable")
        at = np.searchsorted(all_keys[order], keys)
        at = np.minimum(at, len(order) - 1)
        hit = all_keys[order][at] == keys
        edge_selected[order[at[hit]]] = True
    me.edges.foreach_set("select", edge_selected)
    if uv is not None:
        me.uv_layers.active.data.foreach_set("uv", np.ascontiguousarray(uv).ravel())
    me.update()

    state.removed = removed
    state.line_keys = set(_edge_keys(corners[host_start[new_lines]],
                                     corners[host_start[new_lines] + 1], V1).tolist())
    state.key_base = max(V1, 1)


def delete_removed(state):
    """In Edit Mode again: deletes the faces the command deleted, and the
    edges only they used (the host has no edges), keeping their vertices."""
    if not len(state.removed):
        return
    me = state.obj.data
    bm = bmesh.from_edit_mesh(me)
    bm.faces.ensure_lookup_table()
    doomed = [bm.faces[int(i)] for i in state.removed]
    edges = {e for f in doomed for e in f.edges}
    bmesh.ops.delete(bm, geom=doomed, context="FACES_ONLY")
    for e in edges:
        a, b = e.verts[0].index, e.verts[1].index
        if e.is_wire and min(a, b) * state.key_base + max(a, b) not in state.line_keys:
            bm.edges.remove(e)
    bmesh.update_edit_mesh(me)

"""Blender meshes to the host's flat arrays and back, in bulk.

Blender's faces run counter-clockwise seen from their front, the host's
clockwise: each face's corners are reversed on the way in and out, so host
corner k of a face of n corners is Blender loop n - 1 - k, and host line k
(corners k and k + 1) is the edge of Blender loop (n - 2 - k) mod n. The
host's two-point faces (lines) are Blender's loose edges: an object's host
faces are its polygons, then its loose edges.

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


def _edge_keys(a, b, base):
    low, high = np.minimum(a, b).astype(np.int64), np.maximum(a, b).astype(np.int64)
    return low * base + high


def _host_layout(sizes):
    """For corners laid out face after face: each face's first corner, and
    each corner's face and place in its face."""
    starts = (np.cumsum(sizes) - sizes).astype(np.int64)
    face_of = np.repeat(np.arange(len(sizes)), sizes)
    place = np.arange(int(np.sum(sizes))) - starts[face_of]
    return starts, face_of, place


def _find_edges(edge_vertices, keys, base):
    """Indices of the edges with the given keys (-1 where there is none)."""
    all_keys = _edge_keys(edge_vertices[:, 0], edge_vertices[:, 1], base)
    order = np.argsort(all_keys, kind="stable")
    if not len(order):
        return np.full(len(keys), -1, dtype=np.int64)
    at = np.minimum(np.searchsorted(all_keys[order], keys), len(order) - 1)
    return np.where(all_keys[order][at] == keys, order[at], -1)


class MeshState:
    """One object's mesh as the command found it, in both layouts. Read
    outside Edit Mode, where Blender shows a mesh's UV maps."""

    def __init__(self, obj):
        me = obj.data
        self.obj = obj
        self.removed_faces, self.removed_edges, self.line_keys = [], [], set()
        V, E, P, L = len(me.vertices), len(me.edges), len(me.polygons), len(me.loops)
        self.vertex_count, self.polygon_count, self.loop_count = V, P, L
        self.positions = _get(me.vertices, "co", np.float32, V, 3)
        self.edge_vertices = _get(me.edges, "vertices", np.int32, E, 2)
        self.edge_selected = _get(me.edges, "select", bool, E)
        self.loop_start = _get(me.polygons, "loop_start", np.int32, P)
        self.loop_total = _get(me.polygons, "loop_total", np.int32, P)
        self.material_index = _get(me.polygons, "material_index", np.int32, P)
        self.smooth = _get(me.polygons, "use_smooth", bool, P)
        self.loop_vertex = _get(me.loops, "vertex_index", np.int32, L)
        self.loop_edge = _get(me.loops, "edge_index", np.int32, L)
        layer = me.uv_layers.active
        self.uv = _get(layer.data, "uv", np.float32, L, 2) if layer else None
        used = np.zeros(E, dtype=bool)
        used[self.loop_edge] = True
        self.loose_edges = np.nonzero(~used)[0]
        W = len(self.loose_edges)

        # Host corner c of polygon f is Blender loop blender_loop[c].
        _, face_of, place = _host_layout(self.loop_total)
        total, start = self.loop_total[face_of], self.loop_start[face_of]
        self.face_of, self.place = face_of, place
        self.blender_loop = start + total - 1 - place
        line_loop = start + (total - 2 - place) % np.maximum(total, 1)
        loose = self.edge_vertices[self.loose_edges]

        self.sizes = np.concatenate([self.loop_total, np.full(W, 2, np.int32)]).astype(np.int32)
        self.corners = np.concatenate([self.loop_vertex[self.blender_loop],
                                       loose[:, ::-1].ravel()]).astype(np.int32)
        self.vertex_selected = _get(me.vertices, "select", bool, V).astype(np.uint8)
        self.face_selected = np.concatenate([_get(me.polygons, "select", bool, P),
                                             np.zeros(W, dtype=bool)]).astype(np.uint8)
        # A selected edge selects one host line, the first on it (in face
        # order): the host counts a line selected in two faces twice (the
        # bevel would add its guide lines twice).
        line_edge = np.concatenate([self.loop_edge[line_loop],
                                    np.stack([self.loose_edges, self.loose_edges], 1).ravel()])
        line_selected = np.zeros(len(line_edge), dtype=np.uint8)
        _, first = np.unique(line_edge, return_index=True)
        first = first[self.edge_selected[line_edge[first]]]
        line_selected[first] = 1
        self.line_selected = line_selected
        polygon_uvs = (self.uv[self.blender_loop] if self.uv is not None
                       else np.zeros((L, 2), dtype=np.float32))
        self.uvs = np.ascontiguousarray(np.concatenate([polygon_uvs,
                                                        np.zeros((2 * W, 2), np.float32)]))

    def host_arrays(self, material_offset, material_count):
        """The arguments of Session.add_object after the name."""
        materials = np.where(self.material_index < material_count,
                             self.material_index + material_offset, -1)
        materials = np.concatenate([materials, np.full(len(self.loose_edges), -1)])
        return (np.ascontiguousarray(self.positions), self.sizes, self.corners,
                self.vertex_selected, self.face_selected, self.line_selected, self.uvs,
                materials.astype(np.int32))


def changed(state, result):
    """Whether the host's object differs from what was sent."""
    return not (np.array_equal(result["face_sizes"], state.sizes) and
                np.array_equal(result["corners"], state.corners) and
                np.array_equal(result["positions"].view(np.uint32),
                               state.positions.view(np.uint32)) and
                np.array_equal(result["vertex_selected"], state.vertex_selected) and
                np.array_equal(result["face_selected"], state.face_selected) and
                np.array_equal(result["line_selected"], state.line_selected) and
                np.array_equal(result["uvs"].view(np.uint32), state.uvs.view(np.uint32)))


def write_back(state, result, material_offset, material_count):
    """Writes the host's object into the mesh it came from (outside Edit
    Mode): moved and added vertices, added faces and lines, selection, the
    active UV map. What the command kept keeps everything else; a face that
    replaces another takes its material and smooth flag. Deletions wait for
    delete_removed, in Edit Mode."""
    me = state.obj.data
    V0, P0, L0 = state.vertex_count, state.polygon_count, state.loop_count
    F0 = len(state.sizes)
    sizes, origins, corners = result["face_sizes"], result["face_origins"], result["corners"]
    V1, F1 = len(result["positions"]), len(sizes)
    assert V1 >= V0 and F1 >= F0, "the host deletes no vertex and no face slot"
    base = max(V1, 1)
    host_start, host_face_of, host_place = _host_layout(sizes)
    following = np.arange(len(corners)) + 1
    wrap = host_place == sizes[host_face_of] - 1
    following[wrap] -= sizes[host_face_of][wrap]

    kept = np.zeros(F1, dtype=bool)
    kept[:F0] = origins[:F0] == np.arange(F0)
    fresh = ~kept & (sizes > 0)
    new_faces = np.nonzero(fresh & (sizes >= 3))[0]
    lines = np.nonzero((sizes == 2))[0]
    new_lines = lines[fresh[lines]]

    if V1 > V0:
        me.vertices.add(V1 - V0)
    me.vertices.foreach_set("co", np.ascontiguousarray(result["positions"]).ravel())
    me.vertices.foreach_set("select", result["vertex_selected"].astype(bool))

    # Kept polygons' corners: the same corner in the result.
    old_kept = kept[state.face_of]
    result_corner = host_start[state.face_of[old_kept]] + state.place[old_kept]
    uv = state.uv.copy() if state.uv is not None else None
    if uv is not None:
        uv[state.blender_loop[old_kept]] = result["uvs"][result_corner]

    edge_vertices = state.edge_vertices
    line_keys = _edge_keys(corners[host_start[lines]], corners[host_start[lines] + 1], base)
    new_sizes = sizes[new_faces]
    count = int(new_sizes.sum())
    new_start = (np.cumsum(new_sizes) - new_sizes).astype(np.int64)
    rep_size = np.repeat(new_sizes, new_sizes)
    place = np.arange(count) - np.repeat(new_start, new_sizes)
    source = host_start[np.repeat(new_faces, new_sizes)] + rep_size - 1 - place   # reversed
    new_loop_vertex = corners[source]
    next_loop = np.arange(count) + 1
    last = place == rep_size - 1
    next_loop[last] -= rep_size[last]
    polygon_keys = _edge_keys(new_loop_vertex, new_loop_vertex[next_loop], base)

    wanted = np.unique(np.concatenate([polygon_keys, line_keys[fresh[lines]]]))
    existing = _edge_keys(edge_vertices[:, 0], edge_vertices[:, 1], base)
    missing = wanted[~np.isin(wanted, existing)]
    if len(missing):
        me.edges.add(len(missing))
        pairs = np.stack([missing // base, missing % base], axis=1).astype(np.int32)
        edge_vertices = np.concatenate([edge_vertices, pairs])
        me.edges.foreach_set("vertices", edge_vertices.ravel())

    if len(new_faces):
        me.loops.add(count)
        me.polygons.add(len(new_faces))
        me.loops.foreach_set("vertex_index", np.concatenate(
            [state.loop_vertex, new_loop_vertex]).astype(np.int32))
        me.loops.foreach_set("edge_index", np.concatenate(
            [state.loop_edge, _find_edges(edge_vertices, polygon_keys, base)]).astype(np.int32))
        me.polygons.foreach_set("loop_start", np.concatenate(
            [state.loop_start, L0 + new_start]).astype(np.int32))
        me.polygons.foreach_set("loop_total", np.concatenate(
            [state.loop_total, new_sizes]).astype(np.int32))
        origin = origins[new_faces]
        inherits = (origin >= 0) & (origin < P0)
        from_origin = np.where(inherits, origin, 0)
        host_material = result["face_materials"][new_faces] - material_offset
        own = np.where((host_material >= 0) & (host_material < material_count), host_material, 0)
        me.polygons.foreach_set("material_index", np.concatenate(
            [state.material_index, np.where(inherits, state.material_index[from_origin], own)]
        ).astype(np.int32))
        me.polygons.foreach_set("use_smooth", np.concatenate(
            [state.smooth, inherits & state.smooth[from_origin]]))
        if uv is not None:
            uv = np.concatenate([uv, result["uvs"][source]])

    # Selection: faces as the host has them, edges from the host's lines.
    me.polygons.foreach_set("select", np.concatenate(
        [result["face_selected"][:P0], result["face_selected"][new_faces]]).astype(bool))
    edge_selected = np.zeros(len(edge_vertices), dtype=bool)
    chosen = (result["line_selected"] != 0) & (sizes[host_face_of] >= 2)
    if chosen.any():
        found = _find_edges(edge_vertices, _edge_keys(corners[chosen],
                                                      corners[following[chosen]], base), base)
        edge_selected[found[found >= 0]] = True
    me.edges.foreach_set("select", edge_selected)
    if uv is not None:
        me.uv_layers.active.data.foreach_set("uv", np.ascontiguousarray(uv).ravel())
    me.update()

    state.removed_faces = np.nonzero(~kept[:P0])[0]
    state.removed_edges = state.loose_edges[np.nonzero(~kept[P0:F0])[0]]
    state.line_keys = set(line_keys.tolist())
    state.key_base = base


def delete_removed(state):
    """In Edit Mode again: deletes the faces and lines the command deleted,
    and the edges only deleted faces used (the host has no edges), keeping
    every vertex (the host keeps them)."""
    if not len(state.removed_faces) and not len(state.removed_edges):
        return
    me = state.obj.data
    bm = bmesh.from_edit_mesh(me)
    bm.faces.ensure_lookup_table()
    bm.edges.ensure_lookup_table()
    doomed = [bm.faces[int(i)] for i in state.removed_faces]
    edges = {e for f in doomed for e in f.edges} | {bm.edges[int(i)] for i in state.removed_edges}
    bmesh.ops.delete(bm, geom=doomed, context="FACES_ONLY")
    for e in edges:
        a, b = e.verts[0].index, e.verts[1].index
        if e.is_wire and min(a, b) * state.key_base + max(a, b) not in state.line_keys:
            bm.edges.remove(e)
    bmesh.update_edit_mesh(me)

"""The host library's C interface (libkiverarun.so) through ctypes.

Only glue: every command runs in the real kivera.so, bound by the host
library as kivera-host binds it. Each call's error code becomes a
KiveraError carrying the library's own text.
"""

import ctypes
import os

import numpy as np

_int_p = ctypes.POINTER(ctypes.c_int)
_float_p = ctypes.POINTER(ctypes.c_float)
_byte_p = ctypes.POINTER(ctypes.c_ubyte)
_text_p = ctypes.POINTER(ctypes.c_char_p)


class KiveraError(RuntimeError):
    pass


def _pointer(array, kind):
    """A ctypes pointer to a contiguous numpy array, or None for None."""
    if array is None:
        return None
    assert array.flags["C_CONTIGUOUS"]
    return array.ctypes.data_as(kind)


class Library:
    def __init__(self, path):
        self.lib = ctypes.CDLL(path)
        lib = self.lib
        lib.KiveraLastError.restype = ctypes.c_char_p
        lib.KiveraOpen.argtypes = [ctypes.c_char_p, ctypes.c_char_p,
                                   ctypes.POINTER(ctypes.c_void_p)]
        lib.KiveraClose.argtypes = [ctypes.c_void_p]
        lib.KiveraClose.restype = None
        lib.KiveraMenuCount.argtypes = [ctypes.c_void_p, _int_p]
        lib.KiveraMenuEntry.argtypes = [ctypes.c_void_p, ctypes.c_int, _text_p, _int_p,
                                        _text_p, _int_p]
        lib.KiveraClearDocument.argtypes = [ctypes.c_void_p]
        lib.KiveraAddObject.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int,
                                        _float_p, ctypes.c_int, _int_p, ctypes.c_int, _int_p,
                                        _byte_p, _byte_p, _byte_p, _float_p, _int_p, _int_p]
        lib.KiveraAddMaterial.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p,
                                          ctypes.c_char_p, ctypes.c_char_p, _int_p]
        lib.KiveraSetCurrentObject.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.KiveraSetView.argtypes = [ctypes.c_void_p, _float_p]
        lib.KiveraViewFromRotation.argtypes = [ctypes.POINTER(ctypes.c_double), _float_p]
        lib.KiveraViewFromAngles.argtypes = [ctypes.c_double, ctypes.c_double,
                                             ctypes.c_double, _float_p]
        lib.KiveraRun.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_char_p,
                                  ctypes.c_int, _int_p]
        lib.KiveraRunTexts.argtypes = [ctypes.c_void_p, _text_p, _text_p, _text_p, _text_p,
                                       _int_p]
        lib.KiveraObjectCount.argtypes = [ctypes.c_void_p, _int_p]
        lib.KiveraObjectSizes.argtypes = [ctypes.c_void_p, ctypes.c_int, _int_p, _int_p, _int_p]
        lib.KiveraReadObject.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, _float_p,
                                         _byte_p, ctypes.c_int, _int_p, _byte_p, _int_p, _int_p,
                                         ctypes.c_int, _int_p, _byte_p, _float_p]
        lib.KiveraMaterialCount.argtypes = [ctypes.c_void_p, _int_p]
        lib.KiveraReadMaterial.argtypes = [ctypes.c_void_p, ctypes.c_int, _text_p, _text_p,
                                           _text_p, _text_p, _int_p]

    def check(self, code):
        if code != 0:
            raise KiveraError(self.lib.KiveraLastError().decode("utf-8", "replace"))


class Session:
    """A bound plug-in and one document."""

    def __init__(self, library, plugin_path, system_folder):
        self.library = library
        self.lib = library.lib
        handle = ctypes.c_void_p()
        library.check(self.lib.KiveraOpen(os.fsencode(plugin_path), os.fsencode(system_folder),
                                          ctypes.byref(handle)))
        self.handle = handle

    def close(self):
        if self.handle:
            self.lib.KiveraClose(self.handle)
            self.handle = None

    def _check(self, code):
        self.library.check(code)

    def menu(self):
        """[(menu index, code page 932 text, table row, English name, dialog id)]"""
        count = ctypes.c_int()
        self._check(self.lib.KiveraMenuCount(self.handle, ctypes.byref(count)))
        entries = []
        for index in range(count.value):
            text, name = ctypes.c_char_p(), ctypes.c_char_p()
            row, dialog = ctypes.c_int(), ctypes.c_int()
            self._check(self.lib.KiveraMenuEntry(self.handle, index, ctypes.byref(text),
                                                 ctypes.byref(row), ctypes.byref(name),
                                                 ctypes.byref(dialog)))
            entries.append((index, text.value, row.value, name.value.decode(), dialog.value))
        return entries

    def clear(self):
        self._check(self.lib.KiveraClearDocument(self.handle))

    def add_material(self, name, texture="", alpha="", bump=""):
        index = ctypes.c_int()
        self._check(self.lib.KiveraAddMaterial(self.handle, name.encode(), texture.encode(),
                                               alpha.encode(), bump.encode(),
                                               ctypes.byref(index)))
        return index.value

    def add_object(self, name, positions, face_sizes, corners, vertex_selected=None,
                   face_selected=None, line_selected=None, uvs=None, face_materials=None):
        """Arrays: float32 (V, 3), int32 (F,), int32 (C,), uint8 (V,), uint8 (F,),
        uint8 (C,), float32 (C, 2), int32 (F,)."""
        index = ctypes.c_int()
        self._check(self.lib.KiveraAddObject(
            self.handle, name.encode(), len(positions), _pointer(positions, _float_p),
            len(face_sizes), _pointer(face_sizes, _int_p), len(corners),
            _pointer(corners, _int_p), _pointer(vertex_selected, _byte_p),
            _pointer(face_selected, _byte_p), _pointer(line_selected, _byte_p),
            _pointer(uvs, _float_p), _pointer(face_materials, _int_p), ctypes.byref(index)))
        return index.value

    def set_current_object(self, index):
        self._check(self.lib.KiveraSetCurrentObject(self.handle, index))

    def set_view(self, view):
        view = np.ascontiguousarray(view, dtype=np.float32).reshape(16)
        self._check(self.lib.KiveraSetView(self.handle, _pointer(view, _float_p)))

    def view_from_rotation(self, rotation):
        rotation = np.ascontiguousarray(rotation, dtype=np.float64).reshape(9)
        view = np.zeros(16, dtype=np.float32)
        self._check(self.lib.KiveraViewFromRotation(
            rotation.ctypes.data_as(ctypes.POINTER(ctypes.c_double)), _pointer(view, _float_p)))
        return view

    def view_from_angles(self, yaw, pitch, roll):
        view = np.zeros(16, dtype=np.float32)
        self._check(self.lib.KiveraViewFromAngles(yaw, pitch, roll, _pointer(view, _float_p)))
        return view

    def run(self, menu_index, dialog_answer="", scale_exponent=0):
        result = ctypes.c_int()
        self._check(self.lib.KiveraRun(self.handle, menu_index, dialog_answer.encode(),
                                       scale_exponent, ctypes.byref(result)))
        return result.value

    def run_texts(self):
        """(report, message box lines, explanation, scale note, fitting exponent)"""
        texts = [ctypes.c_char_p() for _ in range(4)]
        fitting = ctypes.c_int()
        self._check(self.lib.KiveraRunTexts(self.handle, *[ctypes.byref(t) for t in texts],
                                            ctypes.byref(fitting)))
        report, messages, explanation, note = (t.value.decode("utf-8", "replace") for t in texts)
        return report, [m for m in messages.split("\n") if m], explanation, note, fitting.value

    def object_count(self):
        count = ctypes.c_int()
        self._check(self.lib.KiveraObjectCount(self.handle, ctypes.byref(count)))
        return count.value

    def read_object(self, index):
        """A dict of arrays: positions, vertex_selected, face_sizes, face_selected,
        face_materials, face_origins, corners, line_selected, uvs."""
        v, f, c = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        self._check(self.lib.KiveraObjectSizes(self.handle, index, ctypes.byref(v),
                                               ctypes.byref(f), ctypes.byref(c)))
        out = {
            "positions": np.empty((v.value, 3), dtype=np.float32),
            "vertex_selected": np.empty(v.value, dtype=np.uint8),
            "face_sizes": np.empty(f.value, dtype=np.int32),
            "face_selected": np.empty(f.value, dtype=np.uint8),
            "face_materials": np.empty(f.value, dtype=np.int32),
            "face_origins": np.empty(f.value, dtype=np.int32),
            "corners": np.empty(c.value, dtype=np.int32),
            "line_selected": np.empty(c.value, dtype=np.uint8),
            "uvs": np.empty((c.value, 2), dtype=np.float32),
        }
        self._check(self.lib.KiveraReadObject(
            self.handle, index, v.value, _pointer(out["positions"], _float_p),
            _pointer(out["vertex_selected"], _byte_p), f.value,
            _pointer(out["face_sizes"], _int_p), _pointer(out["face_selected"], _byte_p),
            _pointer(out["face_materials"], _int_p), _pointer(out["face_origins"], _int_p),
            c.value, _pointer(out["corners"], _int_p), _pointer(out["line_selected"], _byte_p),
            _pointer(out["uvs"], _float_p)))
        return out

    def materials(self):
        """[(name, texture, alpha, bump, maps set by the last run)]"""
        count = ctypes.c_int()
        self._check(self.lib.KiveraMaterialCount(self.handle, ctypes.byref(count)))
        result = []
        for index in range(count.value):
            texts = [ctypes.c_char_p() for _ in range(4)]
            maps_set = ctypes.c_int()
            self._check(self.lib.KiveraReadMaterial(self.handle, index,
                                                    *[ctypes.byref(t) for t in texts],
                                                    ctypes.byref(maps_set)))
            result.append(tuple(t.value.decode("utf-8", "replace") for t in texts) +
                          (maps_set.value,))
        return result

/* The host library as a C interface, for front ends in other languages (the
   Blender add-on calls it through ctypes): a session binds the plug-in
   module as kivera-host does (MQInit, MQEnumString, MQModifySelect), holds
   one document made from flat arrays, runs one menu entry on it and hands
   the document, the change report and the message boxes back.

   Every function returns KIVERA_OK or an error code, and never lets a C++
   exception or a bad argument reach the caller: KiveraLastError() then says
   what was wrong. Arrays are read and written only up to the counts and
   capacities given. Texts are valid until the next call on the session. */
#ifndef KIVERA_C_H
#define KIVERA_C_H

#ifdef __cplusplus
extern "C" {
#endif

#define KIVERA_EXPORT __attribute__((visibility("default")))

enum {
    KIVERA_OK = 0,
    KIVERA_ERROR_ARGUMENT = 1, /* a null handle, an index or a capacity out of range */
    KIVERA_ERROR_DATA = 2,     /* arrays that do not make a mesh */
    KIVERA_ERROR_PLUGIN = 3,   /* the module cannot be loaded or bound */
    KIVERA_ERROR_MEMORY = 4,
    KIVERA_ERROR_INTERNAL = 5
};

typedef struct KiveraSession KiveraSession;

/* The text of the last error on this thread ("" when none). */
KIVERA_EXPORT const char* KiveraLastError(void);

/* Loads the module at `pluginPath`, binds it to this host library and makes
   `systemFolder` the host's type-5 folder (kivera.ini, kivera.idx). The
   plug-in reads its menu's kivera.ini from the folder above the module's. */
KIVERA_EXPORT int KiveraOpen(const char* pluginPath, const char* systemFolder,
                             KiveraSession** session);
KIVERA_EXPORT void KiveraClose(KiveraSession* session);

/* The menu as MQEnumString gives it now: entry `index`'s code page 932
   text, its command table row, English name ("cut-groove") and dialog
   (101, 102 or 0). Past the last entry: KIVERA_ERROR_ARGUMENT. */
KIVERA_EXPORT int KiveraMenuCount(KiveraSession* session, int* count);
KIVERA_EXPORT int KiveraMenuEntry(KiveraSession* session, int index, const char** menuText,
                                  int* row, const char** englishName, int* dialogId);

/* Empties the document (no objects, no materials, the front view). */
KIVERA_EXPORT int KiveraClearDocument(KiveraSession* session);

/* Appends an object. positions: 3 per vertex. faceSizes: points per face
   (0 = an empty slot); corners: the faces' vertex indices, cornerCount in
   all. Optional (null = none): vertexSelected (one per vertex),
   faceSelected (one per face), lineSelected and uvs (one and two per
   corner: line k of a face joins its corners k and k + 1), faceMaterials
   (one per face, -1 = none). */
KIVERA_EXPORT int KiveraAddObject(KiveraSession* session, const char* name, int vertexCount,
                                  const float* positions, int faceCount, const int* faceSizes,
                                  int cornerCount, const int* corners,
                                  const unsigned char* vertexSelected,
                                  const unsigned char* faceSelected,
                                  const unsigned char* lineSelected, const float* uvs,
                                  const int* faceMaterials, int* objectIndex);
KIVERA_EXPORT int KiveraAddMaterial(KiveraSession* session, const char* name,
                                    const char* texture, const char* alpha, const char* bump,
                                    int* materialIndex);
KIVERA_EXPORT int KiveraSetCurrentObject(KiveraSession* session, int objectIndex);
/* The 4 x 4 view matrix as the host stores it. */
KIVERA_EXPORT int KiveraSetView(KiveraSession* session, const float view[16]);
/* The view as the host stores a view turned by a rotation (row-major 3 x 3)
   or by yaw, pitch and roll in degrees (host/library/view_matrix.h). */
KIVERA_EXPORT int KiveraViewFromRotation(const double rotation[9], float view[16]);
KIVERA_EXPORT int KiveraViewFromAngles(double yaw, double pitch, double roll, float view[16]);

/* Runs menu entry `menuIndex` with `dialogAnswer` (control ids or names,
   as kivera-host --dialog takes them; null or "" closes a dialog as by
   Escape) on the document scaled by 2^scaleExponent. `result` is what
   MQModifySelect returned. */
KIVERA_EXPORT int KiveraRun(KiveraSession* session, int menuIndex, const char* dialogAnswer,
                            int scaleExponent, int* result);

/* After a run: the change report (lines), the message boxes ("caption:
   text" lines), why nothing changed ("" when something did), and the note
   on the fixed sizes with the exponent that would fit (0 when no note). */
KIVERA_EXPORT int KiveraRunTexts(KiveraSession* session, const char** report,
                                 const char** messages, const char** explanation,
                                 const char** scaleNote, int* fittingExponent);

/* Reading the document back. Counts first, then the arrays, each null or
   with room for the counts (capacities are checked). faceOrigins: per face
   slot, the face of the document before the last run it stems from (its
   own slot when it kept its points; for a face added or rewritten, the
   removed face it replaces, found through shared vertices), or -1. */
KIVERA_EXPORT int KiveraObjectCount(KiveraSession* session, int* count);
KIVERA_EXPORT int KiveraObjectSizes(KiveraSession* session, int objectIndex, int* vertexCount,
                                    int* faceCount, int* cornerCount);
KIVERA_EXPORT int KiveraReadObject(KiveraSession* session, int objectIndex, int vertexCapacity,
                                   float* positions, unsigned char* vertexSelected,
                                   int faceCapacity, int* faceSizes, unsigned char* faceSelected,
                                   int* faceMaterials, int* faceOrigins, int cornerCapacity,
                                   int* corners, unsigned char* lineSelected, float* uvs);
KIVERA_EXPORT int KiveraMaterialCount(KiveraSession* session, int* count);
/* Map names, and how many of them the last run set (also to the same name). */
KIVERA_EXPORT int KiveraReadMaterial(KiveraSession* session, int materialIndex,
                                     const char** name, const char** texture, const char** alpha,
                                     const char** bump, int* mapsSet);

#ifdef __cplusplus
}
#endif

#endif

#include "host/library/kivera_c.h"

#include <cstring>
#include <memory>
#include <exception>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/library/change_report.h"
#include "host/library/command_run.h"
#include "host/library/document.h"
#include "host/library/plugin_host.h"
#include "host/library/view_matrix.h"
#include "host/library/command_names.h"
#include "host/library/dialog_answers.h"
#include "host/library/no_op_explanations.h"

struct KiveraSession {
    host::PluginModule module;
    std::string systemFolder;
    std::vector<std::string> menu;   // refreshed by KiveraMenuCount
    host::Document doc;
    host::Document before;           // the document as the last run found it
    bool ran = false;
    host::ChangeReport report;
    std::string reportText, messagesText, explanation, scaleNote;
    int fittingExponent = 0;
};

namespace {

thread_local std::string lastError;

int Fail(int code, const std::string& text)
{
    lastError = text;
    return code;
}

// Runs `body` with every exception turned into an error code: nothing of
// C++ crosses into the caller.
template <typename Body>
int Guarded(Body body)
{
    try {
        lastError.clear();
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(KIVERA_ERROR_MEMORY, "out of memory");
    } catch (const std::exception& failure) {
        return Fail(KIVERA_ERROR_INTERNAL, failure.what());
    } catch (...) {
        return Fail(KIVERA_ERROR_INTERNAL, "unexpected failure");
    }
}

const char* Text(const char* text) { return text ? text : ""; }

// Whether faceSizes adds up to cornerCount and every corner names a vertex.
bool CheckFaces(int vertexCount, int faceCount, const int* faceSizes, int cornerCount,
                const int* corners, std::string& error)
{
    long long total = 0;
    for (int f = 0; f < faceCount; ++f) {
        if (faceSizes[f] < 0) {
            error = "face " + std::to_string(f) + " has a negative point count";
            return false;
        }
        total += faceSizes[f];
        if (total > cornerCount) {
            error = "the faces name more corners than the " + std::to_string(cornerCount) + " given";
            return false;
        }
    }
    if (total != cornerCount) {
        error = "the faces name " + std::to_string(total) + " corners, not the " +
                std::to_string(cornerCount) + " given";
        return false;
    }
    for (int c = 0; c < cornerCount; ++c) {
        if (corners[c] < 0 || corners[c] >= vertexCount) {
            error = "corner " + std::to_string(c) + " names vertex " + std::to_string(corners[c]) +
                    ", not one of the " + std::to_string(vertexCount);
            return false;
        }
    }
    return true;
}

// For each face slot after a run, the slot of the face before it that it
// stems from. Added and rewritten faces take the first removed face that
// shares a vertex with them, else the origin of an earlier added face that
// does (a groove's walls follow the narrowed face beside them).
std::vector<int> FaceOrigins(const host::Object* before, const host::Object& after)
{
    const std::size_t kept = before ? before->faces.size() : 0;
    std::vector<int> origins(after.faces.size(), -1);
    std::unordered_map<int, int> removedAt, addedAt;   // vertex -> origin face
    std::vector<std::size_t> fresh;
    for (std::size_t f = 0; f < after.faces.size(); ++f) {
        const host::Face& now = after.faces[f];
        if (f < kept && before->faces[f].points == now.points) {
            origins[f] = now.points.empty() ? -1 : static_cast<int>(f);
            continue;
        }
        if (f < kept) {
            for (int v : before->faces[f].points)
                removedAt.emplace(v, static_cast<int>(f));
        }
        if (!now.points.empty())
            fresh.push_back(f);
    }
    for (std::size_t f : fresh) {
        const host::Face& face = after.faces[f];
        for (int v : face.points) {
            const auto found = removedAt.find(v);
            if (found != removedAt.end()) {
                origins[f] = found->second;
                break;
            }
        }
        for (std::size_t k = 0; origins[f] < 0 && k < face.points.size(); ++k) {
            const auto found = addedAt.find(face.points[k]);
            if (found != addedAt.end())
                origins[f] = found->second;
        }
        if (origins[f] >= 0) {
            for (int v : face.points)
                addedAt.emplace(v, origins[f]);
        }
    }
    return origins;
}

int CheckSession(KiveraSession* session)
{
    return session ? KIVERA_OK : Fail(KIVERA_ERROR_ARGUMENT, "no session");
}

const host::Object* ObjectAt(KiveraSession* session, int objectIndex)
{
    return host::GetObject(static_cast<const host::Document&>(session->doc), objectIndex);
}

}  // namespace

extern "C" {

const char* KiveraLastError(void) { return lastError.c_str(); }

int KiveraOpen(const char* pluginPath, const char* systemFolder, KiveraSession** session)
{
    return Guarded([&]() -> int {
        if (!pluginPath || !systemFolder || !session)
            return Fail(KIVERA_ERROR_ARGUMENT, "KiveraOpen needs a module, a folder and a result");
        *session = nullptr;
        auto made = std::make_unique<KiveraSession>();
        std::string error;
        if (!host::LoadPluginModule(pluginPath, made->module, error))
            return Fail(KIVERA_ERROR_PLUGIN, error);
        if (made->module.path.size() > host::kPluginPathLimit ||
            std::strlen(systemFolder) > host::kPluginPathLimit - 1)
            return Fail(KIVERA_ERROR_PLUGIN, made->module.path + ": the module's or the settings "
                                             "folder's path is too long for the plug-in's buffers");
        if (!host::BindPlugin(made->module, error))
            return Fail(KIVERA_ERROR_PLUGIN, error);
        made->systemFolder = systemFolder;
        host::SetSystemPath(made->systemFolder);
        host::FrontViewMatrix(made->doc.scene.view);
        *session = made.release();
        return KIVERA_OK;
    });
}

void KiveraClose(KiveraSession* session)
{
    // The module stays loaded, as kivera-host leaves it: another session may
    // bind it again.
    delete session;
}

int KiveraMenuCount(KiveraSession* session, int* count)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !count)
            return Fail(KIVERA_ERROR_ARGUMENT, "no session or no result");
        host::SetSystemPath(session->systemFolder);
        session->menu = host::ReadMenu(session->module);
        *count = static_cast<int>(session->menu.size());
        return KIVERA_OK;
    });
}

int KiveraMenuEntry(KiveraSession* session, int index, const char** menuText, int* row,
                    const char** englishName, int* dialogId)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || index < 0 ||
            static_cast<std::size_t>(index) >= session->menu.size())
            return Fail(KIVERA_ERROR_ARGUMENT, "no menu entry " + std::to_string(index) +
                                                   " (call KiveraMenuCount first)");
        const std::string& text = session->menu[static_cast<std::size_t>(index)];
        const int tableRow = host::CommandRowOfMenuText(text);
        if (menuText)
            *menuText = text.c_str();
        if (row)
            *row = tableRow;
        if (englishName)
            *englishName = host::CommandName(tableRow);
        if (dialogId)
            *dialogId = host::DialogOfCommandRow(tableRow);
        return KIVERA_OK;
    });
}

int KiveraClearDocument(KiveraSession* session)
{
    return Guarded([&]() -> int {
        if (CheckSession(session))
            return KIVERA_ERROR_ARGUMENT;
        session->doc = host::Document();
        host::FrontViewMatrix(session->doc.scene.view);
        session->ran = false;
        return KIVERA_OK;
    });
}

int KiveraAddObject(KiveraSession* session, const char* name, int vertexCount,
                    const float* positions, int faceCount, const int* faceSizes, int cornerCount,
                    const int* corners, const unsigned char* vertexSelected,
                    const unsigned char* faceSelected, const unsigned char* lineSelected,
                    const float* uvs, const int* faceMaterials, int* objectIndex)
{
    return Guarded([&]() -> int {
        if (CheckSession(session))
            return KIVERA_ERROR_ARGUMENT;
        if (vertexCount < 0 || faceCount < 0 || cornerCount < 0 ||
            (vertexCount > 0 && !positions) || (faceCount > 0 && !faceSizes) ||
            (cornerCount > 0 && !corners))
            return Fail(KIVERA_ERROR_ARGUMENT, "negative counts or missing arrays");
        std::string error;
        if (!CheckFaces(vertexCount, faceCount, faceSizes, cornerCount, corners, error))
            return Fail(KIVERA_ERROR_DATA, error);
        const int materials = static_cast<int>(session->doc.materials.size());
        for (int f = 0; faceMaterials && f < faceCount; ++f) {
            if (faceMaterials[f] < -1 || faceMaterials[f] >= materials)
                return Fail(KIVERA_ERROR_DATA, "face " + std::to_string(f) + " names material " +
                                                   std::to_string(faceMaterials[f]) + " of " +
                                                   std::to_string(materials));
        }
        // Built aside, so that a failure leaves the document as it was.
        host::Object obj;
        obj.name = Text(name);
        for (int v = 0; v < vertexCount; ++v)
            host::AddVertex(obj, host::Vec3{positions[3 * v], positions[3 * v + 1],
                                            positions[3 * v + 2]});
        for (int v = 0; vertexSelected && v < vertexCount; ++v)
            host::SelectVertex(obj, v, vertexSelected[v] != 0);
        for (int f = 0, corner = 0; f < faceCount; corner += faceSizes[f], ++f) {
            if (faceSizes[f] == 0) {
                obj.faces.push_back(host::Face());
                continue;
            }
            const int added = host::AddFace(obj, corners + corner, faceSizes[f],
                                            faceMaterials ? faceMaterials[f] : -1);
            if (added < 0)
                return Fail(KIVERA_ERROR_DATA, "face " + std::to_string(f) + " was refused");
            host::Face& face = obj.faces[static_cast<std::size_t>(added)];
            for (int k = 0; k < faceSizes[f]; ++k) {
                if (uvs)
                    face.uv[static_cast<std::size_t>(k)] =
                        host::UV{uvs[2 * (corner + k)], uvs[2 * (corner + k) + 1]};
                if (lineSelected && lineSelected[corner + k])
                    host::SelectLine(obj, added, k, true);
            }
            if (faceSelected && faceSelected[f])
                host::SelectFace(obj, added, true);
        }
        const int index = host::AddObject(session->doc, obj.name);
        *session->doc.objects.back() = std::move(obj);
        if (objectIndex)
            *objectIndex = index;
        return KIVERA_OK;
    });
}

int KiveraAddMaterial(KiveraSession* session, const char* name, const char* texture,
                      const char* alpha, const char* bump, int* materialIndex)
{
    return Guarded([&]() -> int {
        if (CheckSession(session))
            return KIVERA_ERROR_ARGUMENT;
        const int index = host::AddMaterial(session->doc, Text(name));
        host::Material* material = host::GetMaterial(session->doc, index);
        material->texture = Text(texture);
        material->alpha = Text(alpha);
        material->bump = Text(bump);
        if (materialIndex)
            *materialIndex = index;
        return KIVERA_OK;
    });
}

int KiveraSetCurrentObject(KiveraSession* session, int objectIndex)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !ObjectAt(session, objectIndex))
            return Fail(KIVERA_ERROR_ARGUMENT, "no object " + std::to_string(objectIndex));
        session->doc.currentObject = objectIndex;
        return KIVERA_OK;
    });
}

int KiveraSetView(KiveraSession* session, const float view[16])
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !view)
            return Fail(KIVERA_ERROR_ARGUMENT, "no session or no matrix");
        std::memcpy(session->doc.scene.view, view, sizeof session->doc.scene.view);
        return KIVERA_OK;
    });
}

int KiveraViewFromRotation(const double rotation[9], float view[16])
{
    return Guarded([&]() -> int {
        if (!rotation || !view)
            return Fail(KIVERA_ERROR_ARGUMENT, "no rotation or no matrix");
        host::ViewMatrixFromRotation(rotation, view);
        return KIVERA_OK;
    });
}

int KiveraViewFromAngles(double yaw, double pitch, double roll, float view[16])
{
    return Guarded([&]() -> int {
        if (!view)
            return Fail(KIVERA_ERROR_ARGUMENT, "no matrix");
        host::ViewMatrixFromAngles(yaw, pitch, roll, view);
        return KIVERA_OK;
    });
}

int KiveraRun(KiveraSession* session, int menuIndex, const char* dialogAnswer, int scaleExponent,
              int* result)
{
    return Guarded([&]() -> int {
        if (CheckSession(session))
            return KIVERA_ERROR_ARGUMENT;
        host::SetSystemPath(session->systemFolder);
        session->menu = host::ReadMenu(session->module);
        if (menuIndex < 0 || static_cast<std::size_t>(menuIndex) >= session->menu.size())
            return Fail(KIVERA_ERROR_ARGUMENT, "no menu entry " + std::to_string(menuIndex));
        const int row = host::CommandRowOfMenuText(
            session->menu[static_cast<std::size_t>(menuIndex)]);
        const int dialogId = host::DialogOfCommandRow(row);
        std::string ids, error;
        const std::string answer = Text(dialogAnswer);
        if (!answer.empty()) {
            if (dialogId == 0)
                return Fail(KIVERA_ERROR_ARGUMENT, std::string(host::CommandName(row)) +
                                                       " shows no dialog to answer");
            if (!host::DialogAnswerIds(answer, dialogId, ids, error))
                return Fail(KIVERA_ERROR_ARGUMENT, error);
        }
        host::Document before = host::CopyDocument(session->doc);
        host::ScaledRun run;
        // Always an answer (perhaps none at all): the dialog never waits for
        // a terminal inside the caller's process.
        if (!host::RunCommandScaled(session->module, menuIndex, session->doc, ids.c_str(),
                                       scaleExponent, false, run, error))
            return Fail(KIVERA_ERROR_ARGUMENT, error);
        session->before = std::move(before);
        session->ran = true;
        session->report = host::CompareDocuments(session->before, session->doc);
        session->reportText = host::FormatChangeReport(session->report, "");
        session->messagesText.clear();
        std::vector<std::string> lines = host::MessageLines(run.messages);
        for (const std::string& line : lines)
            session->messagesText += line + "\n";
        host::CommandRun explained;
        explained.row = row;
        explained.result = run.result;
        explained.changed = !host::IsEmpty(session->report);
        explained.messages = lines;
        explained.systemFolder = session->systemFolder;
        const host::DialogChoice choice = host::PlayDialogAnswer(dialogId, ids);
        explained.dialog = &choice;
        session->explanation = host::ExplainCommandRun(session->before, explained);
        session->scaleNote = run.scaleNote;
        session->fittingExponent = run.scaleNote.empty() ? 0 : run.fittingExponent;
        if (result)
            *result = run.result;
        return KIVERA_OK;
    });
}

int KiveraRunTexts(KiveraSession* session, const char** report, const char** messages,
                   const char** explanation, const char** scaleNote, int* fittingExponent)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !session->ran)
            return Fail(KIVERA_ERROR_ARGUMENT, "nothing has run yet");
        if (report)
            *report = session->reportText.c_str();
        if (messages)
            *messages = session->messagesText.c_str();
        if (explanation)
            *explanation = session->explanation.c_str();
        if (scaleNote)
            *scaleNote = session->scaleNote.c_str();
        if (fittingExponent)
            *fittingExponent = session->fittingExponent;
        return KIVERA_OK;
    });
}

int KiveraObjectCount(KiveraSession* session, int* count)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !count)
            return Fail(KIVERA_ERROR_ARGUMENT, "no session or no result");
        *count = static_cast<int>(session->doc.objects.size());
        return KIVERA_OK;
    });
}

int KiveraObjectSizes(KiveraSession* session, int objectIndex, int* vertexCount, int* faceCount,
                      int* cornerCount)
{
    return Guarded([&]() -> int {
        const host::Object* obj = session ? ObjectAt(session, objectIndex) : nullptr;
        if (!obj)
            return Fail(KIVERA_ERROR_ARGUMENT, "no object " + std::to_string(objectIndex));
        std::size_t corners = 0;
        for (const host::Face& face : obj->faces)
            corners += face.points.size();
        if (vertexCount)
            *vertexCount = static_cast<int>(obj->vertices.size());
        if (faceCount)
            *faceCount = static_cast<int>(obj->faces.size());
        if (cornerCount)
            *cornerCount = static_cast<int>(corners);
        return KIVERA_OK;
    });
}

int KiveraReadObject(KiveraSession* session, int objectIndex, int vertexCapacity,
                     float* positions, unsigned char* vertexSelected, int faceCapacity,
                     int* faceSizes, unsigned char* faceSelected, int* faceMaterials,
                     int* faceOrigins, int cornerCapacity, int* corners,
                     unsigned char* lineSelected, float* uvs)
{
    return Guarded([&]() -> int {
        const host::Object* obj = session ? ObjectAt(session, objectIndex) : nullptr;
        if (!obj)
            return Fail(KIVERA_ERROR_ARGUMENT, "no object " + std::to_string(objectIndex));
        std::size_t cornerTotal = 0;
        for (const host::Face& face : obj->faces)
            cornerTotal += face.points.size();
        if (static_cast<long long>(vertexCapacity) < static_cast<long long>(obj->vertices.size()) ||
            static_cast<long long>(faceCapacity) < static_cast<long long>(obj->faces.size()) ||
            static_cast<long long>(cornerCapacity) < static_cast<long long>(cornerTotal))
            return Fail(KIVERA_ERROR_ARGUMENT, "the arrays are smaller than the object");
        for (std::size_t v = 0; v < obj->vertices.size(); ++v) {
            if (positions) {
                positions[3 * v] = obj->vertices[v].x;
                positions[3 * v + 1] = obj->vertices[v].y;
                positions[3 * v + 2] = obj->vertices[v].z;
            }
            if (vertexSelected)
                vertexSelected[v] = v < obj->vertexSelected.size() && obj->vertexSelected[v];
        }
        std::vector<int> origins;
        if (faceOrigins)
            origins = FaceOrigins(session->ran ? host::GetObject(static_cast<const host::Document&>(
                                                                     session->before),
                                                                 objectIndex)
                                               : obj,
                                  *obj);
        std::size_t corner = 0;
        for (std::size_t f = 0; f < obj->faces.size(); ++f) {
            const host::Face& face = obj->faces[f];
            const std::size_t n = face.points.size();
            if (faceSizes)
                faceSizes[f] = static_cast<int>(n);
            if (faceSelected)
                faceSelected[f] = face.selected;
            if (faceMaterials)
                faceMaterials[f] = face.material;
            if (faceOrigins)
                faceOrigins[f] = origins[f];
            for (std::size_t k = 0; k < n; ++k, ++corner) {
                if (corners)
                    corners[corner] = face.points[k];
                if (lineSelected)
                    lineSelected[corner] = k < face.lineSelected.size() && face.lineSelected[k];
                if (uvs) {
                    const host::UV uv = k < face.uv.size() ? face.uv[k] : host::UV{0.0f, 0.0f};
                    uvs[2 * corner] = uv.u;
                    uvs[2 * corner + 1] = uv.v;
                }
            }
        }
        return KIVERA_OK;
    });
}

int KiveraMaterialCount(KiveraSession* session, int* count)
{
    return Guarded([&]() -> int {
        if (CheckSession(session) || !count)
            return Fail(KIVERA_ERROR_ARGUMENT, "no session or no result");
        *count = static_cast<int>(session->doc.materials.size());
        return KIVERA_OK;
    });
}

int KiveraReadMaterial(KiveraSession* session, int materialIndex, const char** name,
                       const char** texture, const char** alpha, const char** bump, int* mapsSet)
{
    return Guarded([&]() -> int {
        host::Material* material = session ? host::GetMaterial(session->doc, materialIndex) : nullptr;
        if (!material)
            return Fail(KIVERA_ERROR_ARGUMENT, "no material " + std::to_string(materialIndex));
        if (name)
            *name = material->name.c_str();
        if (texture)
            *texture = material->texture.c_str();
        if (alpha)
            *alpha = material->alpha.c_str();
        if (bump)
            *bump = material->bump.c_str();
        if (mapsSet) {
            *mapsSet = 0;
            for (const host::MaterialChanges& changes : session->report.materials) {
                if (session->ran && changes.materialIndex == materialIndex)
                    *mapsSet = static_cast<int>(changes.mapsSet.size());
            }
        }
        return KIVERA_OK;
    });
}

}  // extern "C"

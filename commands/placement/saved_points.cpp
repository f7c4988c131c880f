// Save the positions of selected vertices to kivera.idx, and put chosen
// coordinates of them back later. A vertex is named by object index and
// vertex index only, so a restore fits the document as long as neither
// numbering changed since the save.
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "commands/commands.h"
#include "hostaccess/object_loops.h"
#include "commands/placement/placement_common.h"
#include "hostaccess/settings.h"
#include "hostaccess/text_file.h"
#include "platform/platform.h"
#include "resources/resource.h"

namespace kivera {

static const char kSavedPointsFileName[] = "kivera.idx";

// The host's folder of type 5: where kivera.ini and kivera.idx live.
constexpr int kSystemPathType = 5;

// A saved line is at most about 170 bytes; anything far beyond is no saved
// line, and is skipped rather than held in memory.
constexpr size_t kMaxSavedLineLength = 1 << 20;

// The axes the restore dialog chose. Cleared whenever the dialog opens, so no
// choice survives from one run to the next.
static int restoreX;
static int restoreY;
static int restoreZ;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// One parsed line of the saved-points file.
struct SavedPoint {
    int objectIndex;
    int vertexIndex;
    double coordinates[3];
};

enum class LineRead { Whole, Skipped, End };

}  // namespace

// The one failure message of both commands: the file could not be used.
static void ShowFileOpenError()
{
    ShowMessageBox(SysGetWindowHandle(), "Error file open", "kivera");
}

// Builds the path of kivera.idx in the host's type-5 folder into `path`
// (kSettingsPathSize bytes). Returns 0 when the host reports no folder or
// the whole path does not fit.
static int BuildSavedPointsPath(char* path)
{
    char folder[kSettingsPathSize] = {};
    if (!SysGetSystemPath(folder, kSystemPathType))
        return 0;
    folder[sizeof folder - 1] = '\0';   // the host is given no size; never read past it
    return BuildFilePath(path, kSettingsPathSize, folder, kSavedPointsFileName);
}

// Opens kivera.idx with `mode`; null when the path cannot be built or the
// file cannot be opened.
static FilePointer OpenSavedPointsFile(const char* mode)
{
    char path[kSettingsPathSize];
    if (!BuildSavedPointsPath(path))
        return nullptr;
    return FilePointer(std::fopen(path, mode));
}

// Writes one line per selected, referenced vertex of `object`.
static void WriteSelectedPoints(std::FILE* file, DocumentHandle document, int objectIndex,
                                ObjectHandle object)
{
    // Unreferenced vertices are never saved, even when reported selected.
    ForEachSelectedVertexOf(document, objectIndex, object, ObjGetVertexCount(object), [&](int v) {
        const Point3 p = ObjGetVertex(object, v);
        std::fprintf(file, "%d %d %f %f %f\n", objectIndex, v, double(p.x), double(p.y),
                     double(p.z));
    });
}

int SaveSelectedPoints(DocumentHandle document)
{
    FilePointer file = OpenSavedPointsFile("w");
    if (!file) {
        ShowFileOpenError();
        return 0;
    }
    ForEachObject(document, [&](int o, ObjectHandle object) {
        WriteSelectedPoints(file.get(), document, o, object);
    });
    // A file that could not be written out whole is no saved file: saying
    // nothing would let a later restore use a truncated one unawares.
    const bool writeFailed = std::ferror(file.get()) != 0;
    if (std::fclose(file.release()) != 0 || writeFailed) {
        ShowFileOpenError();
        return 0;
    }
    return 1;
}

// Reads the next line whole, whatever its length, into `line` without its
// line feed (CR LF arrives as LF). A line longer than kMaxSavedLineLength,
// or one cut by a read error, is consumed and reported Skipped.
static LineRead ReadWholeLine(std::FILE* file, std::string& line)
{
    line.clear();
    char piece[kSettingsPathSize];
    bool readAny = false;
    bool tooLong = false;
    bool ended = false;
    for (;;) {
        const int length = ReadTextPiece(file, piece, sizeof piece);
        if (length == 0)
            break;
        readAny = true;
        ended = piece[length - 1] == '\n';
        const size_t kept = static_cast<size_t>(ended ? length - 1 : length);
        if (!tooLong && line.size() + kept > kMaxSavedLineLength) {
            tooLong = true;
            line.clear();
        }
        if (!tooLong)
            line.append(piece, kept);
        if (ended)
            break;
    }
    if (!readAny)
        return LineRead::End;
    // The last line may lack its line feed; it is whole unless a read failed.
    if (tooLong || (!ended && std::ferror(file)))
        return LineRead::Skipped;
    return LineRead::Whole;
}

// Moves past the next space of `field`: the start of the following field,
// or null when the line has no further field.
static const char* NextField(const char* field)
{
    const char* space = std::strchr(field, ' ');
    return space ? space + 1 : nullptr;
}

// Converts the index at the start of `field` as strtol does. Returns 0 when
// the field holds no number or one outside the int range.
static int ParseIndexField(const char* field, int* value)
{
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(field, &end, 10);
    if (end == field || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return 0;
    *value = static_cast<int>(number);
    return 1;
}

// Converts the coordinate at the start of `field` as strtod does. Returns 0
// when the field holds no number or a finite one that no float can hold.
static int ParseCoordinateField(const char* field, double* value)
{
    char* end = nullptr;
    const double number = std::strtod(field, &end);
    if (end == field || (std::isfinite(number) && std::fabs(number) > double(FLT_MAX)))
        return 0;
    *value = number;
    return 1;
}

// Parses "object vertex x y z" (fields one space apart). Returns 0 for a
// line that lacks a field or whose fields are not numbers: it must not move
// any vertex.
static int ParseSavedPoint(const char* line, SavedPoint* point)
{
    const char* field = line;
    if (!ParseIndexField(field, &point->objectIndex))
        return 0;
    field = NextField(field);
    if (!field || !ParseIndexField(field, &point->vertexIndex))
        return 0;
    for (double& coordinate : point->coordinates) {
        field = NextField(field);
        if (!field || !ParseCoordinateField(field, &coordinate))
            return 0;
    }
    return 1;
}

// Writes the chosen coordinates of one saved point back into its vertex;
// a point naming no object, or a vertex that is out of range or unused, is
// dropped. The other coordinates keep their current values.
static void ApplySavedPoint(DocumentHandle document, const SavedPoint& point, const int axes[3])
{
    if (point.objectIndex < 0 || point.vertexIndex < 0)
        return;
    ObjectHandle object = DocGetObject(document, point.objectIndex);
    if (!object)
        return;
    if (point.vertexIndex >= ObjGetVertexCount(object))
        return;
    if (ObjGetVertexRefCount(object, point.vertexIndex) == 0)
        return;
    Point3 position = ObjGetVertex(object, point.vertexIndex);
    if (axes[0] == 1)
        position.x = static_cast<float>(point.coordinates[0]);
    if (axes[1] == 1)
        position.y = static_cast<float>(point.coordinates[1]);
    if (axes[2] == 1)
        position.z = static_cast<float>(point.coordinates[2]);
    ObjSetVertex(object, point.vertexIndex, position);
}

// Dialog 102: which of X, Y and Z the restore writes back.
static intptr_t KIVERA_CALLBACK RestoreDialogProcedure(DialogWindow dialog, unsigned int message,
                                                       DialogWParam wParam, DialogLParam lParam)
{
    (void)lParam;
    switch (message) {
    case kMessageInitDialog:
        restoreX = 0;
        restoreY = 0;
        restoreZ = 0;
        return 0;   // focus is left where the dialog manager puts it
    case kMessageCommand:
        return EndOnOkOrCancel(dialog, wParam, [dialog] {
            restoreX = IsDialogButtonChecked(dialog, IDC_RESTORE_X) == 1 ? 1 : 0;
            restoreY = IsDialogButtonChecked(dialog, IDC_RESTORE_Y) == 1 ? 1 : 0;
            restoreZ = IsDialogButtonChecked(dialog, IDC_RESTORE_Z) == 1 ? 1 : 0;
        });
    case kMessageDestroy:
        EndDialogBox(dialog, 0);
        return 1;
    default:
        return 0;
    }
}

int RestoreSavedPoints(DocumentHandle document)
{
    // Only OK goes on: Cancel, closing, and a dialog that could not be shown
    // (-1) all leave the file untouched.
    if (RunDialog(IDD_RESTORE, SysGetWindowHandle(), RestoreDialogProcedure) != 1)
        return 0;
    const int axes[3] = {restoreX, restoreY, restoreZ};
    FilePointer file = OpenSavedPointsFile("r");
    if (!file) {
        ShowFileOpenError();
        return 0;
    }
    std::string line;
    for (;;) {
        const LineRead read = ReadWholeLine(file.get(), line);
        if (read == LineRead::End)
            break;
        SavedPoint point;
        if (read == LineRead::Whole && ParseSavedPoint(line.c_str(), &point))
            ApplySavedPoint(document, point, axes);
        if (std::ferror(file.get()))
            break;   // a failing medium gives nothing more to read
    }
    return 1;
}

}  // namespace kivera

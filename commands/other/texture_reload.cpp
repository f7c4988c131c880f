// Make the host read every image map again.
#include "commands/commands.h"

namespace kivera {

namespace {

// Reading and setting the file name of one map kind.
struct MapAccess {
    void (*getName)(MaterialHandle, char*, int);
    void (*setName)(MaterialHandle, const char*);
};

// Texture, alpha and bump, in the order they are reloaded.
const MapAccess kMapKinds[] = {
    {MatGetTextureName, MatSetTextureName},
    {MatGetAlphaName, MatSetAlphaName},
    {MatGetBumpName, MatSetBumpName},
};

// The host writes at most this many bytes, terminator included; the last
// byte of the buffer stays 0 whatever it writes.
constexpr int kNameReadLength = 255;

}  // namespace

// Sets the map's name again when it has one: setting a name makes the host
// read the file anew, even when the name does not change.
static void ReloadMap(MaterialHandle material, const MapAccess& map, char* buffer)
{
    // An emptied first byte keeps a host that writes nothing from handing
    // this map the name read for the previous one.
    buffer[0] = '\0';
    map.getName(material, buffer, kNameReadLength);
    if (buffer[0] != '\0')
        map.setName(material, buffer);
}

int ReloadTextures(DocumentHandle document)
{
    char buffer[kNameReadLength + 1] = {};
    const int materialCount = DocGetMaterialCount(document);
    for (int m = 0; m < materialCount; ++m) {
        const MaterialHandle material = DocGetMaterial(document, m);
        if (material == nullptr)
            continue;
        for (const MapAccess& map : kMapKinds)
            ReloadMap(material, map, buffer);
    }
    return 1;
}

}  // namespace kivera

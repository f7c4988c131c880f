// Texture reload through MQModifySelect of the real module against the
// stand-in host, checked by the host calls it makes and the maps reloaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/commands/other/other_fixtures.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

// The material get and set calls, in order.
std::vector<std::string> MaterialCalls(const std::vector<host::Call>& calls)
{
    std::vector<std::string> names;
    for (const host::Call& call : calls)
        if (call.name.rfind("MQMat_", 0) == 0)
            names.push_back(call.name);
    return names;
}

TEST(ReloadTextures, EachNamedMapIsSetAgainWithItsOwnName)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::Material& textureOnly = *host::GetMaterial(doc, host::AddMaterial(doc, "texture only"));
    textureOnly.texture = "wood.png";
    host::AddEmptyMaterialSlot(doc);
    host::Material& allMaps = *host::GetMaterial(doc, host::AddMaterial(doc, "all maps"));
    allMaps.texture = "skin.bmp";
    allMaps.alpha = "skin_alpha.bmp";
    allMaps.bump = "skin_bump.bmp";
    host::Material& noMaps = *host::GetMaterial(doc, host::AddMaterial(doc, "no maps"));

    host::StartTrace();
    EXPECT_EQ(session.Run(kReloadTexturesRow, doc), 1);
    const std::vector<host::Call> calls = host::StopTrace();

    EXPECT_EQ(MaterialCalls(calls), (std::vector<std::string>{
                                        "MQMat_GetTextureName", "MQMat_SetTextureName",
                                        "MQMat_GetAlphaName", "MQMat_GetBumpName",
                                        "MQMat_GetTextureName", "MQMat_SetTextureName",
                                        "MQMat_GetAlphaName", "MQMat_SetAlphaName",
                                        "MQMat_GetBumpName", "MQMat_SetBumpName",
                                        "MQMat_GetTextureName", "MQMat_GetAlphaName",
                                        "MQMat_GetBumpName"}));
    // Every read is offered 255 bytes.
    for (const host::Call& call : calls) {
        if (call.name.rfind("MQMat_Get", 0) == 0) {
            EXPECT_EQ(call.args, (std::vector<long long>{255})) << call.name;
        }
    }

    EXPECT_EQ(textureOnly.textureLoads, 1);
    EXPECT_EQ(textureOnly.alphaLoads + textureOnly.bumpLoads, 0);
    EXPECT_EQ(allMaps.textureLoads, 1);
    EXPECT_EQ(allMaps.alphaLoads, 1);
    EXPECT_EQ(allMaps.bumpLoads, 1);
    EXPECT_EQ(noMaps.textureLoads + noMaps.alphaLoads + noMaps.bumpLoads, 0);
    // Every map keeps its own name.
    EXPECT_EQ(textureOnly.texture, "wood.png");
    EXPECT_EQ(textureOnly.alpha, "");
    EXPECT_EQ(allMaps.texture, "skin.bmp");
    EXPECT_EQ(allMaps.alpha, "skin_alpha.bmp");
    EXPECT_EQ(allMaps.bump, "skin_bump.bmp");
}

TEST(ReloadTextures, DocumentWithoutMaterialsReadsNothing)
{
    kivera_test::PluginSession session;
    host::Document doc;
    host::StartTrace();
    EXPECT_EQ(session.Run(kReloadTexturesRow, doc), 1);
    EXPECT_TRUE(MaterialCalls(host::StopTrace()).empty());
}

}  // namespace

}  // namespace kivera_test

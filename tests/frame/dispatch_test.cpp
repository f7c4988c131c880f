// MQModifySelect on the real module bound to the stand-in host.
#include <gtest/gtest.h>

#include <string>

#include "frame/menu_strings.h"
#include "host/library/document.h"
#include "tests/support/plugin_session.h"

namespace kivera_test {


namespace {

// One triangle with all three vertices selected: "select edges whose two
// end points are selected" selects its three lines and then the face.
host::Document SelectedTriangle()
{
    host::Document doc;
    host::Object& obj = *host::GetObject(doc, host::AddObject(doc, "triangle"));
    for (int i = 0; i < 3; ++i) {
        host::AddVertex(obj, {float(i), float(i * i), 0.0f});
        host::SelectVertex(obj, i);
    }
    host::AddFace(obj, {0, 1, 2});
    return doc;
}

TEST(Dispatch, IndexNamesTheEnabledRowsInTableOrder)
{
    PluginSession session;
    kivera_test::WriteFile(session.folder().File("kivera.ini"),
                           kivera_test::SettingsEnabling({2, 5}));
    host::Document doc = SelectedTriangle();
    // Index 1 is row 5, the edge selection; index 2 names no row.
    EXPECT_EQ(session.plugin().modifySelect(2, &doc), 0);
    EXPECT_FALSE(doc.objects[0]->faces[0].selected);
    EXPECT_EQ(session.plugin().modifySelect(1, &doc), 1);
    EXPECT_TRUE(doc.objects[0]->faces[0].selected);
    EXPECT_EQ(session.plugin().modifySelect(-1, &doc), 0);
}

TEST(Dispatch, NoSettingsFileRunsNothing)
{
    PluginSession session;
    std::remove(session.folder().File("kivera.ini").c_str());
    host::Document doc = SelectedTriangle();
    EXPECT_EQ(session.plugin().modifySelect(0, &doc), 0);
    EXPECT_FALSE(doc.objects[0]->faces[0].selected);
}

TEST(Dispatch, SettingsComeFromTheHostsFolderWithOrWithoutClosingSeparator)
{
    PluginSession session;
    host::Document doc = SelectedTriangle();
    host::SetSystemPath(session.folder().path() + "/");
    EXPECT_EQ(session.plugin().modifySelect(5, &doc), 1);
    EXPECT_TRUE(doc.objects[0]->faces[0].selected);
}

TEST(Dispatch, AHostFolderThatDoesNotFitRunsNothing)
{
    PluginSession session;
    host::SetSystemPath("/" + std::string(140, 'x'));
    host::Document doc = SelectedTriangle();
    EXPECT_EQ(session.plugin().modifySelect(5, &doc), 0);
    EXPECT_FALSE(doc.objects[0]->faces[0].selected);
}

#ifdef KIVERA_HOST_NOFREEZE_LIBRARY
TEST(Dispatch, AFailedBindingStopsEveryCommandUntilTheNextComplete)
{
    PluginSession session;
    host::Document doc = SelectedTriangle();
    // A host that cannot be loaded leaves the complete binding usable.
    EXPECT_EQ(session.plugin().init("/nonexistent/host.so"), 0);
    EXPECT_EQ(session.Run(5, doc), 1);
    // A host that lacks one name leaves a table of mixed bindings: unusable.
    doc.objects[0]->faces[0].selected = false;
    EXPECT_EQ(session.plugin().init(KIVERA_HOST_NOFREEZE_LIBRARY), 0);
    EXPECT_EQ(session.Run(5, doc), 0);
    EXPECT_FALSE(doc.objects[0]->faces[0].selected);
    EXPECT_EQ(session.plugin().init(kivera_test::HostLibraryPath()), 1);
    EXPECT_EQ(session.Run(5, doc), 1);
    EXPECT_TRUE(doc.objects[0]->faces[0].selected);
}
#endif

}  // namespace

}  // namespace kivera_test

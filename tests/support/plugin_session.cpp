#include "tests/support/plugin_session.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kivera_test {

PluginSession::PluginSession() : plugin_(LoadPlugin())
{
    WriteFile(folder_.File("kivera.ini"), SettingsEnablingAll());
    host::SetSystemPath(folder_.path());
    EXPECT_EQ(plugin_.init(HostLibraryPath()), 1) << "MQInit against " << HostLibraryPath();
}

int PluginSession::Run(int row, host::Document& doc) const
{
    return plugin_.modifySelect(row, &doc);
}

DialogScript::DialogScript(const char* ids) { setenv("KIVERA_DIALOG", ids, 1); }

DialogScript::~DialogScript() { unsetenv("KIVERA_DIALOG"); }

RunOutput RunCapturingMessages(const PluginSession& session, int row, host::Document& doc,
                               const char* dialogIds)
{
    DialogScript script(dialogIds);
    testing::internal::CaptureStderr();
    RunOutput output;
    output.result = session.Run(row, doc);
    output.messages = testing::internal::GetCapturedStderr();
    return output;
}

}  // namespace kivera_test

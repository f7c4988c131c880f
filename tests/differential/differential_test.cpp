// Every command through two modules on the same random documents: the real
// kivera.so, whose topology queries answer from an index, and the reference
// module, whose queries scan the host's faces every time. Both must leave
// identical documents, return the same value, write to the host in the same
// order, show the same messages and save the same file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "frame/command_ids.h"
#include "host/library/document.h"
#include "tests/differential/random_document.h"
#include "tests/support/plugin_session.h"
#include "tests/support/test_support.h"

namespace kivera_test {

namespace {

using host::CopyDocument;

constexpr int kCommandRows = kCommandCount;
constexpr int kArrangeRow = RowOf(CommandId::ArrangeOnLine);
constexpr int kRestoreRow = RowOf(CommandId::RestorePoints);

// Documents per command, and the seed of the first; KIVERA_DIFFERENTIAL_SEED
// and KIVERA_DIFFERENTIAL_DOCUMENTS override them for a longer hunt.
constexpr unsigned int kSeed = 20240611;
constexpr int kDocuments = 300;

unsigned int FromEnvironment(const char* name, unsigned int fallback)
{
    const char* text = std::getenv(name);
    return text ? static_cast<unsigned int>(std::strtoul(text, nullptr, 10)) : fallback;
}

// The module to compare against: the reference build, or any other module
// named by KIVERA_REFERENCE_MODULE (an older kivera.so, say).
const char* ReferenceModulePath()
{
    const char* path = std::getenv("KIVERA_REFERENCE_MODULE");
    return path ? path : KIVERA_REFERENCE_MODULE;
}

// Clicks for the two dialogs, one set drawn per document.
const char* const kArrangeScripts[] = {"1000 1003 1", "1001 1004 1011 1", "1002 1005 1015 1",
                                       "1000 1004 1012 1016 1", "1013 1014 1", "2"};
const char* const kRestoreScripts[] = {"1008 1", "1008 1009 1010 1", "1010 1", "2"};

// What one run left behind besides the document.
struct RunRecord {
    int result = 0;
    std::string messages;
    std::vector<host::Call> writes;
    std::string savedPoints;   // kivera.idx afterwards, "(none)" when absent
};

bool IsWrite(const host::Call& call)
{
    for (const char* verb : {"_Set", "_Add", "_Delete", "_ClearSelect"})
        if (call.name.find(verb) != std::string::npos)
            return true;
    return false;
}

// One module with its own type-5 folder, so that each keeps its own
// kivera.idx.
struct Module {
    const PluginExports* exports;
    TempFolder folder;
};

void Bind(Module& module, const char* path)
{
    module.exports = &kivera_test::LoadPlugin(path);
    kivera_test::WriteFile(module.folder.File("kivera.ini"), kivera_test::SettingsEnablingAll());
    ASSERT_EQ(module.exports->init(kivera_test::HostLibraryPath()), 1) << path;
}

RunRecord RunCommand(Module& module, int row, host::Document& doc, const char* dialog,
                     const std::string& savedPoints)
{
    const std::string idx = module.folder.File("kivera.idx");
    std::remove(idx.c_str());
    if (row == kRestoreRow)
        kivera_test::WriteFile(idx, savedPoints);
    host::SetSystemPath(module.folder.path());
    kivera_test::DialogScript script(dialog);
    RunRecord record;
    testing::internal::CaptureStderr();
    host::StartTrace();
    record.result = module.exports->modifySelect(row, &doc);
    for (const host::Call& call : host::StopTrace())
        if (IsWrite(call))
            record.writes.push_back(call);
    record.messages = testing::internal::GetCapturedStderr();
    record.savedPoints =
        kivera_test::FileExists(idx) ? kivera_test::ReadFile(idx) : std::string("(none)");
    return record;
}

// The first write where the two sequences part, or -1.
int FirstDifferentWrite(const std::vector<host::Call>& a, const std::vector<host::Call>& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i)
        if (a[i].name != b[i].name || a[i].args != b[i].args)
            return static_cast<int>(i);
    return a.size() == b.size() ? -1 : static_cast<int>(common);
}

class Differential : public testing::TestWithParam<int> {};

TEST_P(Differential, BothModulesLeaveTheSameDocument)
{
    const int row = GetParam();
    const unsigned int seed = FromEnvironment("KIVERA_DIFFERENTIAL_SEED", kSeed);
    const int documents = static_cast<int>(FromEnvironment("KIVERA_DIFFERENTIAL_DOCUMENTS", kDocuments));
    RecordProperty("seed", std::to_string(seed));
    std::printf("row %d: %d documents from seed %u against %s\n", row, documents, seed,
                ReferenceModulePath());

    Module fast, reference;
    Bind(fast, kivera_test::PluginModulePath());
    Bind(reference, ReferenceModulePath());

    int active = 0;
    for (int d = 0; d < documents; ++d) {
        // Each document has a seed of its own, so one can be replayed alone.
        Dice dice(seed + static_cast<unsigned int>(d));
        const host::Document original = RandomDocument(dice);
        const char* dialog = row == kArrangeRow   ? kArrangeScripts[dice.Int(0, 5)]
                             : row == kRestoreRow ? kRestoreScripts[dice.Int(0, 3)]
                                                  : "2";
        const std::string savedPoints = RandomSavedPoints(dice, original);

        host::Document fastDoc = CopyDocument(original);
        host::Document referenceDoc = CopyDocument(original);
        const RunRecord a = RunCommand(fast, row, fastDoc, dialog, savedPoints);
        const RunRecord b = RunCommand(reference, row, referenceDoc, dialog, savedPoints);

        const std::string where = "row " + std::to_string(row) + ", document seed " +
                                  std::to_string(seed + static_cast<unsigned int>(d));
        ASSERT_EQ(FirstDifference(fastDoc, referenceDoc), "") << where;
        ASSERT_EQ(a.result, b.result) << where;
        ASSERT_EQ(a.messages, b.messages) << where;
        ASSERT_EQ(a.savedPoints, b.savedPoints) << where;
        ASSERT_EQ(FirstDifferentWrite(a.writes, b.writes), -1)
            << where << ": " << a.writes.size() << " writes against " << b.writes.size();
        if (!a.writes.empty() || !a.messages.empty() || a.savedPoints.size() > 6)
            ++active;
    }
    std::printf("row %d: %d of %d documents written to or reported on\n", row, active, documents);
    // Documents on which the command does nothing prove nothing.
    EXPECT_GE(active, documents / 10);
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, Differential, testing::Range(0, kCommandRows));

}  // namespace

}  // namespace kivera_test

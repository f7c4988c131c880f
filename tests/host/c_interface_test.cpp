// The C interface as a front end in another language uses it: bad arrays
// come back as error codes with the document untouched, and a command runs
// at a 2^K scale that gives untouched coordinates back bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/library/command_run.h"
#include "host/library/kivera_c.h"

namespace {

struct Session {
    Session()
    {
        const std::string plugin = KIVERA_PLUGIN_FILE;
        const std::string folder =
            std::filesystem::path(plugin).parent_path().parent_path().string();
        EXPECT_EQ(KiveraOpen(plugin.c_str(), folder.c_str(), &handle), KIVERA_OK)
            << KiveraLastError();
    }
    ~Session() { KiveraClose(handle); }
    KiveraSession* handle = nullptr;
};

int ObjectCount(KiveraSession* session)
{
    int count = -1;
    EXPECT_EQ(KiveraObjectCount(session, &count), KIVERA_OK);
    return count;
}

int MenuIndexOf(KiveraSession* session, const char* name)
{
    int count = 0;
    EXPECT_EQ(KiveraMenuCount(session, &count), KIVERA_OK);
    for (int i = 0; i < count; ++i) {
        const char* english = nullptr;
        EXPECT_EQ(KiveraMenuEntry(session, i, nullptr, nullptr, &english, nullptr), KIVERA_OK);
        if (std::strcmp(english, name) == 0)
            return i;
    }
    return -1;
}

TEST(CInterface, BadArraysAreRefusedAndLeaveTheDocumentAsItWas)
{
    Session session;
    const float positions[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const int quad[] = {0, 1, 2, 3};
    const int outOfRange[] = {0, 1, 2, 4};
    const int negative[] = {0, 1, -1, 3};
    const int four[] = {4}, five[] = {5}, minus[] = {-4};
    const int badMaterial[] = {0};
    struct Case {
        const char* what;
        int vertexCount;
        const int* sizes;
        int cornerCount;
        const int* corners;
        const int* materials;
        int expected;
    } cases[] = {
        {"corner past the vertices", 4, four, 4, outOfRange, nullptr, KIVERA_ERROR_DATA},
        {"negative corner", 4, four, 4, negative, nullptr, KIVERA_ERROR_DATA},
        {"sizes beyond the corners", 4, five, 4, quad, nullptr, KIVERA_ERROR_DATA},
        {"sizes short of the corners", 4, four, 5, quad, nullptr, KIVERA_ERROR_DATA},
        {"negative size", 4, minus, 4, quad, nullptr, KIVERA_ERROR_DATA},
        {"material that is not there", 4, four, 4, quad, badMaterial, KIVERA_ERROR_DATA},
        {"negative vertex count", -1, four, 4, quad, nullptr, KIVERA_ERROR_ARGUMENT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KiveraAddObject(session.handle, "o", c.vertexCount, positions, 1, c.sizes,
                                  c.cornerCount, c.corners, nullptr, nullptr, nullptr, nullptr,
                                  c.materials, nullptr),
                  c.expected)
            << c.what;
        EXPECT_STRNE(KiveraLastError(), "") << c.what;
        EXPECT_EQ(ObjectCount(session.handle), 0) << c.what;
    }
    EXPECT_EQ(KiveraAddObject(nullptr, "o", 4, positions, 1, four, 4, quad, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr),
              KIVERA_ERROR_ARGUMENT);
    ASSERT_EQ(KiveraAddObject(session.handle, "o", 4, positions, 1, four, 4, quad, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr),
              KIVERA_OK);
    // Arrays smaller than the object are never written past.
    float room[9];
    EXPECT_EQ(KiveraReadObject(session.handle, 0, 3, room, nullptr, 1, nullptr, nullptr, nullptr,
                               nullptr, 4, nullptr, nullptr, nullptr),
              KIVERA_ERROR_ARGUMENT);
    EXPECT_EQ(KiveraRun(session.handle, 99, nullptr, 0, nullptr), KIVERA_ERROR_ARGUMENT);
}

// A strip of three quads 0.25 wide (clockwise seen from +z, the host's
// winding), the middle line selected: the groove's 2.0 is 8 times too wide.
void AddStrip(KiveraSession* session)
{
    std::vector<float> positions;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            positions.insert(positions.end(), {0.25f * column, 0.1f * row + 0.3f, 0.1f});
        }
    }
    const int sizes[] = {4, 4, 4};
    const int corners[] = {0, 4, 5, 1, 1, 5, 6, 2, 2, 6, 7, 3};
    unsigned char lines[12] = {};
    lines[2 + 4] = 1;   // face 1, line 2: vertices 6 and 2
    ASSERT_EQ(KiveraAddObject(session, "strip", 8, positions.data(), 3, sizes, 12, corners,
                              nullptr, nullptr, lines, nullptr, nullptr, nullptr),
              KIVERA_OK)
        << KiveraLastError();
}

TEST(CInterface, GrooveAtAScaleKeepsUntouchedCoordinatesBitForBit)
{
    Session session;
    const int groove = MenuIndexOf(session.handle, "cut-groove");
    ASSERT_GE(groove, 0);
    struct Case {
        int exponent;
        bool note;
        float depth;
    } cases[] = {{0, true, 2.0f}, {3, false, 0.25f}, {5, false, 0.0625f}};
    for (const Case& c : cases) {
        ASSERT_EQ(KiveraClearDocument(session.handle), KIVERA_OK);
        AddStrip(session.handle);
        std::vector<float> before(24);
        ASSERT_EQ(KiveraReadObject(session.handle, 0, 8, before.data(), nullptr, 3, nullptr,
                                   nullptr, nullptr, nullptr, 12, nullptr, nullptr, nullptr),
                  KIVERA_OK);
        int result = 0;
        ASSERT_EQ(KiveraRun(session.handle, groove, nullptr, c.exponent, &result), KIVERA_OK)
            << KiveraLastError();
        EXPECT_EQ(result, 1);
        const char* note = nullptr;
        int fitting = 0;
        ASSERT_EQ(KiveraRunTexts(session.handle, nullptr, nullptr, nullptr, &note, &fitting),
                  KIVERA_OK);
        EXPECT_EQ(std::string(note).empty(), !c.note) << c.exponent << ": " << note;
        if (c.note) {
            EXPECT_EQ(fitting, 3) << note;
        }
        int vertices = 0, faces = 0, cornerCount = 0;
        ASSERT_EQ(KiveraObjectSizes(session.handle, 0, &vertices, &faces, &cornerCount),
                  KIVERA_OK);
        ASSERT_EQ(vertices, 16);
        std::vector<float> after(48);
        ASSERT_EQ(KiveraReadObject(session.handle, 0, vertices, after.data(), nullptr, faces,
                                   nullptr, nullptr, nullptr, nullptr, cornerCount, nullptr,
                                   nullptr, nullptr),
                  KIVERA_OK);
        EXPECT_EQ(std::memcmp(after.data(), before.data(), 24 * sizeof(float)), 0) << c.exponent;
        int deep = 0;
        for (int v = 8; v < 16; ++v)
            deep += after[3 * v + 2] == 0.1f - c.depth || after[3 * v + 2] == 0.1f + c.depth;
        EXPECT_EQ(deep, 4) << c.exponent;
    }
}

TEST(CInterface, AScaleThatCannotBeUndoneIsRefused)
{
    Session session;
    const float positions[] = {3e38f, 0, 0, std::numeric_limits<float>::denorm_min(), 0, 0};
    ASSERT_EQ(KiveraAddObject(session.handle, "o", 2, positions, 0, nullptr, 0, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr),
              KIVERA_OK);
    for (int exponent : {1, -1}) {
        EXPECT_EQ(KiveraRun(session.handle, 0, nullptr, exponent, nullptr), KIVERA_ERROR_ARGUMENT)
            << exponent;
        float back[6];
        ASSERT_EQ(KiveraReadObject(session.handle, 0, 2, back, nullptr, 0, nullptr, nullptr,
                                   nullptr, nullptr, 0, nullptr, nullptr, nullptr),
                  KIVERA_OK);
        EXPECT_EQ(std::memcmp(back, positions, sizeof back), 0) << exponent;
    }
}

TEST(CInterface, ScaleIsAPowerOfTwo)
{
    const struct {
        const char* text;
        bool valid;
        int exponent;
    } cases[] = {{"2^3", true, 3},   {"2^-4", true, -4}, {"2^+2", true, 2}, {"2^0", true, 0},
                 {"2^", false, 0},   {"3^2", false, 0},  {"2^1.5", false, 0}, {"8", false, 0},
                 {"2^127", false, 0}, {"2^-9999999999", false, 0}, {"", false, 0}};
    for (const auto& c : cases) {
        int exponent = 99;
        std::string error;
        EXPECT_EQ(host::ParseScaleExponent(c.text, exponent, error), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(exponent, c.exponent) << c.text;
        } else {
            EXPECT_NE(error.find("2^K"), std::string::npos) << c.text;
        }
    }
}

}  // namespace

// Every command's identity in one table: its row of the command table (the
// position here), its menu text and its English name. The command table, the
// stand-in host's names, the benchmark and the tests take rows and names from
// here, so that adding or reordering a command is one edit of this table.
// Header-only plain data, so that tools and the stand-in host share these
// bytes instead of writing them again.
#pragma once

// The commands; the order of this list means nothing, kCommands gives rows.
enum class CommandId {
    SelectPoints,
    DeselectPoints,
    DeselectEdgesAndFaces,
    SelectNeighbours,
    SelectConnected,
    SelectEdgesOfPoints,
    AlignPoints,
    FoldBackRim,
    ArrangeOnLine,
    Bulge,
    SavePoints,
    RestorePoints,
    SplitEdges,
    RotateByView,
    CutGroove,
    CopyUV,
    ReloadTextures,
    Bevel,
    MeasureAngle,
};

struct CommandIdentity {
    CommandId id;
    // Code page 932 bytes: both the menu text and the key of kivera.ini, so
    // compared byte for byte and never converted.
    const char* menuText;
    const char* name;   // English, as kivera-host takes it ("select-connected")
};

// The commands in menu order: entry k is row k of the command table.
inline constexpr CommandIdentity kCommands[] = {
    /* 点を選択 */
    {CommandId::SelectPoints, "\x93_\x82\xF0\x91I\x91\xF0", "select-points"},
    /* 点を非選択 */
    {CommandId::DeselectPoints, "\x93_\x82\xF0\x94\xF1\x91I\x91\xF0", "deselect-points"},
    /* 辺・面を非選択 */
    {CommandId::DeselectEdgesAndFaces, "\x95\xD3\x81" "E\x96\xCA\x82\xF0\x94\xF1\x91I\x91\xF0", "deselect-edges-faces"},
    /* 隣の点も選択 */
    {CommandId::SelectNeighbours, "\x97\xD7\x82\xCC\x93_\x82\xE0\x91I\x91\xF0", "select-neighbours"},
    /* 接続点を選択 */
    {CommandId::SelectConnected, "\x90\xDA\x91\xB1\x93_\x82\xF0\x91I\x91\xF0", "select-connected"},
    /* 両端の点が選択されている辺を選択 */
    {CommandId::SelectEdgesOfPoints,
     "\x97\xBC\x92[\x82\xCC\x93_\x82\xAA\x91I\x91\xF0\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xE9"
     "\x95\xD3\x82\xF0\x91I\x91\xF0",
     "select-edges-of-points"},
    /* 選択点の位置を合わせる */
    {CommandId::AlignPoints, "\x91I\x91\xF0\x93_\x82\xCC\x88\xCA\x92u\x82\xF0\x8D\x87\x82\xED\x82\xB9\x82\xE9", "align-points"},
    /* 縁の折り返し */
    {CommandId::FoldBackRim, "\x89\x8F\x82\xCC\x90\xDC\x82\xE8\x95\xD4\x82\xB5", "fold-back-rim"},
    /* 直線に並べる */
    {CommandId::ArrangeOnLine, "\x92\xBC\x90\xFC\x82\xC9\x95\xC0\x82\xD7\x82\xE9", "arrange-on-line"},
    /* もっこり */
    {CommandId::Bulge, "\x82\xE0\x82\xC1\x82\xB1\x82\xE8", "bulge"},
    /* 選択点を保存 */
    {CommandId::SavePoints, "\x91I\x91\xF0\x93_\x82\xF0\x95\xDB\x91\xB6", "save-points"},
    /* 保存点を元に戻す */
    {CommandId::RestorePoints, "\x95\xDB\x91\xB6\x93_\x82\xF0\x8C\xB3\x82\xC9\x96\xDF\x82\xB7", "restore-points"},
    /* 辺の分割 */
    {CommandId::SplitEdges, "\x95\xD3\x82\xCC\x95\xAA\x8A\x84", "split-edges"},
    /* Viewで回転 */
    {CommandId::RotateByView, "View\x82\xC5\x89\xF1\x93]", "rotate-by-view"},
    /* すじ彫りを入れる */
    {CommandId::CutGroove, "\x82\xB7\x82\xB6\x92\xA4\x82\xE8\x82\xF0\x93\xFC\x82\xEA\x82\xE9", "cut-groove"},
    /* UVマップコピー */
    {CommandId::CopyUV, "UV\x83}\x83" "b\x83v\x83R\x83s\x81[", "copy-uv"},
    /* TextureReload */
    {CommandId::ReloadTextures, "TextureReload", "reload-textures"},
    /* べべるん */
    {CommandId::Bevel, "\x82\xD7\x82\xD7\x82\xE9\x82\xF1", "bevel"},
    /* 面の角度を測る */
    {CommandId::MeasureAngle, "\x96\xCA\x82\xCC\x8Ap\x93x\x82\xF0\x91\xAA\x82\xE9", "measure-angle"},
};

constexpr int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

// The row of command `id`.
constexpr int RowOf(CommandId id)
{
    for (int row = 0; row < kCommandCount; ++row)
        if (kCommands[row].id == id)
            return row;
    return -1;
}

// Each command has exactly one row.
constexpr bool EveryCommandHasOneRow()
{
    for (int row = 0; row < kCommandCount; ++row)
        if (RowOf(kCommands[row].id) != row)
            return false;
    return true;
}
static_assert(EveryCommandHasOneRow(), "a command listed twice in kCommands");
static_assert(kCommandCount == static_cast<int>(CommandId::MeasureAngle) + 1,
              "every CommandId has a row in kCommands");

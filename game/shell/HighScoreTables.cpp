#include "game/shell/HighScoreTables.h"

#include "framework/util/Buffer.h"
#include "game/profile/UserProfile.h"

namespace Zant {

namespace {

const char* const ADVENTURE_NAMES[HighScoreTables::NUM_ROWS] = {
    "Orra Venn", "Tessa Reef", "Bram Kettle", "Nilo Sands", "Quin Harrow",
    "Mae Dunlin", "Oskar Pell", "Juno Tide",  "Rafe Tully", "Wren Okoye",
};
const char* const ABYSS_NAMES[HighScoreTables::NUM_ROWS] = {
    "Ada Deep", "Hollis", "Mira Vane", "Thane", "Solveig", "Pim Lark", "Odile", "Corin", "Bea Marsh", "Ulf",
};

void WriteInt(Buffer& buffer, int value) { buffer.WriteString(std::to_string(value)); }

} // namespace

HighScoreTables::Table HighScoreTables::DefaultAdventure()
{
    Table table;
    for (int row = 0; row < NUM_ROWS; ++row) {
        HighScoreEntry& e = table[size_t(row)];
        e.mScore = 500000 - 30000 * row;
        e.mDifficulty = e.mScore > 410000 ? 4 : e.mScore > 320000 ? 3 : e.mScore > 260000 ? 2 : 1;
        e.mName = ADVENTURE_NAMES[row];
        e.mLevel = row < 4 ? 10 - row : 6;
    }
    return table;
}

HighScoreTables::Table HighScoreTables::DefaultAbyss()
{
    Table table;
    for (int row = 0; row < NUM_ROWS; ++row)
        table[size_t(row)] = {2000 - 150 * row, -1, ABYSS_NAMES[row], -1};
    return table;
}

int HighScoreTables::Filler(uint32_t draw) { return static_cast<int32_t>(draw) % 37 + 96; }

void HighScoreTables::SetDefaults()
{
    mHighScores = DefaultAdventure();
    mAbyssScores = DefaultAbyss();
}

HighScoreTables::ReadResult HighScoreTables::Read(Buffer& buffer)
{
    if (!StringsFit(buffer))
        return ReadResult::Damaged;
    if (const ReadResult state = CheckStoredVersion(buffer.ReadString(), OLDEST_VERSION); state != ReadResult::Read)
        return state;
    if (buffer.AtEnd())
        return ReadResult::Damaged;
    buffer.ReadString(); // the filler

    // Read into copies, so that a file found damaged half way changes nothing.
    Table tables[2];
    for (Table& table : tables) {
        for (HighScoreEntry& e : table) {
            std::string fields[4];
            for (std::string& field : fields) {
                if (buffer.AtEnd())
                    return ReadResult::Damaged;
                field = buffer.ReadString();
            }
            // Names go on screen as they stand: no colour markup, nothing overlong.
            if (fields[2].size() > MAX_NAME_BYTES || fields[2].find('^') != std::string::npos)
                return ReadResult::Damaged;
            e = {ParseStoredInt(fields[0]), ParseStoredInt(fields[1]), fields[2], ParseStoredInt(fields[3])};
        }
    }
    mHighScores = tables[0];
    mAbyssScores = tables[1];
    return ReadResult::Read;
}

void HighScoreTables::Write(Buffer& buffer, const std::string& version, int filler) const
{
    buffer.WriteString(version);
    buffer.WriteString(std::to_string(filler));
    for (const Table* table : {&mHighScores, &mAbyssScores})
        for (const HighScoreEntry& e : *table) {
            WriteInt(buffer, e.mScore);
            WriteInt(buffer, e.mDifficulty);
            buffer.WriteString(e.mName);
            WriteInt(buffer, e.mLevel);
        }
}

int HighScoreTables::Enter(bool abyss, const HighScoreEntry& entry)
{
    Table& table = abyss ? mAbyssScores : mHighScores;
    for (int row = 0; row < NUM_ROWS; ++row) {
        if (table[size_t(row)].mScore <= entry.mScore) {
            for (int below = NUM_ROWS - 1; below > row; --below)
                table[size_t(below)] = std::move(table[size_t(below - 1)]);
            table[size_t(row)] = entry;
            return row;
        }
    }
    return -1;
}

HighScoreEntry HighScoreTables::Get(bool abyss, int row) const
{
    if (row < 0 || row >= NUM_ROWS)
        return HighScoreEntry();
    return (abyss ? mAbyssScores : mHighScores)[size_t(row)];
}

} // namespace Zant

#pragma once
// The tunes of the game's module: the order position the game jumps to for each,
// a name for people, and whether the game plays it once (else it loops).
namespace Zant::Music {

// Where every tune sits as heard, at the default music volume (LUFS).
constexpr double kMusicLufs = -20.0;

struct TuneStart {
    int order;
    const char* name;
    bool once;
};

inline constexpr TuneStart kTunes[] = {{0, "level", false},     {17, "title", false},   {20, "map", false},
                                       {30, "gameover", false}, {34, "levelend", false}, {37, "danger", false},
                                       {43, "nearby", true},    {46, "special", true},  {48, "boss", false}};

} // namespace Zant::Music

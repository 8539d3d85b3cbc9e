#include "game/shell/KeyboardGuide.h"

#include <cstring>

#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"
#include "game/shell/WinBTApp.h"

namespace Zant {

namespace {

struct FingerPlace {
    int x;
    int y;
};

constexpr FingerPlace FINGER_PLACES[KeyboardGuide::NUM_FINGERS] = {
    {26, 358}, {53, 352}, {88, 349}, {135, 353}, {248, 430}, {255, 351}, {291, 347}, {334, 348}, {374, 355},
};

// Characters by the finger that types them (line ends go to the right little finger).
const char* const FINGER_CHARS[KeyboardGuide::NUM_FINGERS] = {
    "!1`aqz~", "2@swx", "#3cde", "$%45^bfgrtv", " ", "&67hjmnuy", "*,8<ik", "(.9>lo", "\n\r\"')+-/0:;=?[]p{}",
};

// Characters that need Shift, and of those the ones typed with the left hand, which
// take the right Shift key. The underscore, braces and bar are left out.
const char* const SHIFTED = "ABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()+<>:?\"";
const char* const SHIFTED_LEFT_HAND = "ABCDEFGQRSTVWXZ!@#$%^~";

struct KeyEntry {
    const char* chars;
    GuideKey key;
};

const KeyEntry KEYS[] = {
    {"`~", {"glo_tilde", 36, 171, "~"}},     {"1!", {"glo_1", 64, 171, "1"}},
    {"2@", {"glo_2", 91, 171, "2"}},         {"3#", {"glo_3", 117, 171, "3"}},
    {"4$", {"glo_4", 141, 171, "4"}},        {"5%", {"glo_5", 166, 171, "5"}},
    {"6^", {"glo_6", 190, 171, "6"}},        {"7&", {"glo_7", 215, 171, "7"}},
    {"8*", {"glo_8", 237, 171, "8"}},        {"9(", {"glo_9", 264, 171, "9"}},
    {"0)", {"glo_0", 289, 171, "0"}},        {"-_", {"glo_hyphen", 315, 171, "-"}},
    {"=+", {"glo_plus", 342, 171, "="}},     {"q", {"glo_q", 67, 197, "Q"}},
    {"w", {"glo_w", 94, 197, "W"}},          {"e", {"glo_e", 122, 197, "E"}},
    {"r", {"glo_r", 148, 197, "R"}},         {"t", {"glo_t", 174, 197, "T"}},
    {"y", {"glo_y", 198, 197, "Y"}},         {"u", {"glo_u", 223, 197, "U"}},
    {"i", {"glo_i", 248, 197, "I"}},         {"o", {"glo_o", 274, 197, "O"}},
    {"p", {"glo_p", 300, 197, "P"}},         {"[{", {"glo_lbrace", 328, 197, "["}},
    {"]}", {"glo_rbrace", 356, 197, "]"}},   {"\\|", {"glo_backslash", 383, 197, "\\"}},
    {"a", {"glo_a", 75, 224, "A"}},          {"s", {"glo_s", 104, 224, "S"}},
    {"d", {"glo_d", 133, 224, "D"}},         {"f", {"glo_f", 160, 224, "F"}},
    {"g", {"glo_g", 188, 224, "G"}},         {"h", {"glo_h", 213, 224, "H"}},
    {"j", {"glo_j", 238, 224, "J"}},         {"k", {"glo_k", 265, 224, "K"}},
    {"l", {"glo_l", 292, 224, "L"}},         {";:", {"glo_colon", 321, 224, ";"}},
    {"'\"", {"glo_apostrophe", 350, 224, "'"}}, {"z", {"glo_z", 83, 252, "Z"}},
    {"x", {"glo_x", 113, 252, "X"}},         {"c", {"glo_c", 143, 252, "C"}},
    {"v", {"glo_v", 171, 252, "V"}},         {"b", {"glo_b", 201, 252, "B"}},
    {"n", {"glo_n", 227, 252, "N"}},         {"m", {"glo_m", 254, 252, "M"}},
    {",<", {"glo_comma", 283, 252, ","}},    {".>", {"glo_period", 310, 252, "."}},
    {"/?", {"glo_forslash", 341, 252, "/"}}, {" ", {"glo_space", 119, 278, ""}},
};

constexpr GuideKey LEFT_SHIFT = {"glo_lshift", 20, 252, "Shift"};
constexpr GuideKey RIGHT_SHIFT = {"glo_rshift", 372, 252, "Shift"};

// Only A to Z: the guide's tables hold the other characters as they are typed.
char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool In(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

std::string FingerImageName(int finger, bool lit)
{
    return "finger" + std::to_string(finger) + (lit ? "x" : "");
}

// The image indexes the guide uses, looked up once.
struct GuideImages {
    int finger[KeyboardGuide::NUM_FINGERS];
    int fingerLit[KeyboardGuide::NUM_FINGERS];
    int glowRing;
    int hands;
    GuideImages()
    {
        for (int i = 0; i < KeyboardGuide::NUM_FINGERS; ++i) {
            finger[i] = KeyboardGuide::ImageIndex(FingerImageName(i, false).c_str());
            fingerLit[i] = KeyboardGuide::ImageIndex(FingerImageName(i, true).c_str());
        }
        glowRing = KeyboardGuide::ImageIndex("glowring");
        hands = KeyboardGuide::ImageIndex("hands");
    }
};

const GuideImages& Images()
{
    static const GuideImages images;
    return images;
}

KeyPicture Picture(const GuideKey& key) { return {KeyboardGuide::ImageIndex(key.mImage), key.mLabel, key.mX, key.mY}; }

} // namespace

KeyboardGuide::KeyboardGuide()
{
    mKeyLabels.reserve(2);
    mKeyHighlights.reserve(2);
    ResetFingers();
}

int KeyboardGuide::ImageIndex(const char* name)
{
    for (int i = 0; i < WinBTApp::NUM_IMAGES; ++i)
        if (WinBTApp::IMAGE_NAMES[i] != nullptr && std::strcmp(WinBTApp::IMAGE_NAMES[i], name) == 0)
            return i;
    return -1;
}

int KeyboardGuide::ShiftSideOf(char c)
{
    if (!In(SHIFTED, c))
        return 0;
    return In(SHIFTED_LEFT_HAND, c) ? 1 : -1;
}

int KeyboardGuide::FingerOf(char c)
{
    const char lower = LowerLetter(c);
    for (int finger = 0; finger < NUM_FINGERS; ++finger)
        if (In(FINGER_CHARS[finger], lower))
            return finger;
    return -1;
}

const GuideKey* KeyboardGuide::KeyOf(char c)
{
    const char lower = LowerLetter(c);
    for (const KeyEntry& entry : KEYS)
        if (In(entry.chars, lower))
            return &entry.key;
    return nullptr;
}

bool KeyboardGuide::CanShow(char c) { return FingerOf(c) >= 0 && KeyOf(c) != nullptr; }

void KeyboardGuide::ResetFingers()
{
    for (int i = 0; i < NUM_FINGERS; ++i)
        mFingers[size_t(i)] = {Images().finger[i], std::string(), FINGER_PLACES[i].x, FINGER_PLACES[i].y};
    mKeyLabels.clear();
}

void KeyboardGuide::Clear()
{
    mKeyLabels.clear();
    mKeyHighlights.clear();
    mShiftSide = 0;
}

void KeyboardGuide::LightFinger(int finger, const std::string& label)
{
    mFingers[size_t(finger)].mImage = Images().fingerLit[finger];
    mKeyLabels.push_back({Images().glowRing, label, FINGER_PLACES[finger].x, FINGER_PLACES[finger].y});
}

void KeyboardGuide::Prepare(char c)
{
    mKeyLabels.clear();
    mKeyHighlights.clear();
    ResetFingers();

    mShiftSide = ShiftSideOf(c);
    if (mShiftSide == 1) {
        LightFinger(8, "Shift");
        mKeyHighlights.push_back(Picture(RIGHT_SHIFT));
    } else if (mShiftSide == -1) {
        LightFinger(0, "Shift");
        mKeyHighlights.push_back(Picture(LEFT_SHIFT));
    }

    const int finger = FingerOf(c);
    if (finger >= 0)
        LightFinger(finger, c == ' ' ? std::string("Space") : std::string(1, c));
    if (const GuideKey* key = KeyOf(c))
        mKeyHighlights.push_back(Picture(*key));
}

void KeyboardGuide::Draw(Graphics* g, WinBTApp* app, Font* labelFont, bool showHighlights) const
{
    // Fingers from the left little finger to the left index, then from the right little
    // finger back to the thumb, so that each overlaps its neighbour as on a real hand.
    static constexpr int ORDER[NUM_FINGERS] = {0, 1, 2, 3, 8, 7, 6, 5, 4};
    for (int i : ORDER) {
        const FingerImage& finger = mFingers[size_t(i)];
        if (Image* image = app->GetImage(finger.mImage))
            g->DrawImage(image, finger.mX, finger.mY);
    }
    if (Image* hands = app->GetImage(Images().hands))
        g->DrawImage(hands, 13, 379);

    // The labels go straight to the font, past the colour markup of widget texts, so
    // that the label of the caret key shows the caret itself.
    for (const KeyPicture& picture : mKeyLabels) {
        Image* image = app->GetImage(picture.mImage);
        if (image == nullptr)
            continue;
        g->DrawImage(image, picture.mX, picture.mY);
        if (labelFont != nullptr && !picture.mLabel.empty()) {
            const int x = picture.mX + (image->GetWidth() - labelFont->StringWidth(picture.mLabel)) / 2;
            const int y = picture.mY + image->GetHeight() / 2 + 5;
            labelFont->DrawString(g, x, y, picture.mLabel, Color::Black, g->GetClipRect());
        }
    }
    if (!showHighlights)
        return;
    // Each glow carries its key's label, painted in the cap's own letters.
    for (const KeyPicture& picture : mKeyHighlights)
        if (Image* image = app->GetImage(picture.mImage))
            g->DrawImage(image, picture.mX, picture.mY);
}

} // namespace Zant

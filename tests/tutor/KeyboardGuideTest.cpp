// The keyboard guide for the next character: the lit fingers, the labelled rings and
// the key glows with their caps' labels, with Shift on the hand that does not type
// the character.
#include <gtest/gtest.h>

#include "game/shell/KeyboardGuide.h"
#include "game/shell/WinBTApp.h"

using Zant::KeyboardGuide;
using Zant::KeyPicture;

namespace {

std::string ImageName(int index) { return index >= 0 ? Zant::WinBTApp::IMAGE_NAMES[index] : "none"; }

// "name@x,y" per picture, with its label after a colon.
std::vector<std::string> Describe(const std::vector<KeyPicture>& pictures)
{
    std::vector<std::string> out;
    for (const KeyPicture& p : pictures)
        out.push_back(ImageName(p.mImage) + (p.mLabel.empty() ? "" : ":" + p.mLabel) + "@" + std::to_string(p.mX) +
                      "," + std::to_string(p.mY));
    return out;
}

std::vector<int> LitFingers(const KeyboardGuide& guide)
{
    std::vector<int> lit;
    for (int i = 0; i < KeyboardGuide::NUM_FINGERS; ++i)
        if (ImageName(guide.mFingers[size_t(i)].mImage) == "finger" + std::to_string(i) + "x")
            lit.push_back(i);
    return lit;
}

} // namespace

TEST(KeyboardGuide, FingersShiftAndKeysForEachKindOfCharacter)
{
    struct Case {
        char c;
        int shift;
        std::vector<int> lit;
        std::vector<std::string> labels;
        std::vector<std::string> highlights;
    };
    const Case cases[] = {
        {'a', 0, {0}, {"glowring:a@26,358"}, {"glo_a:A@75,224"}},
        {'A', 1, {0, 8}, {"glowring:Shift@374,355", "glowring:A@26,358"}, {"glo_rshift:Shift@372,252", "glo_a:A@75,224"}},
        {'J', -1, {0, 5}, {"glowring:Shift@26,358", "glowring:J@255,351"}, {"glo_lshift:Shift@20,252", "glo_j:J@238,224"}},
        {' ', 0, {4}, {"glowring:Space@248,430"}, {"glo_space@119,278"}},
        {'\n', 0, {8}, {"glowring:\n@374,355"}, {}},
        {'_', 0, {}, {}, {"glo_hyphen:-@315,171"}},
        {'8', 0, {6}, {"glowring:8@291,347"}, {"glo_8:8@237,171"}},
        {'9', 0, {7}, {"glowring:9@334,348"}, {"glo_9:9@264,171"}},
        {'^', 1, {3, 8}, {"glowring:Shift@374,355", "glowring:^@135,353"}, {"glo_rshift:Shift@372,252", "glo_6:6@190,171"}},
        {'"', -1, {0, 8}, {"glowring:Shift@26,358", "glowring:\"@374,355"}, {"glo_lshift:Shift@20,252", "glo_apostrophe:'@350,224"}},
        {'?', -1, {0, 8}, {"glowring:Shift@26,358", "glowring:?@374,355"}, {"glo_lshift:Shift@20,252", "glo_forslash:/@341,252"}},
        {'|', 0, {}, {}, {"glo_backslash:\\@383,197"}},
    };
    KeyboardGuide guide;
    for (const Case& c : cases) {
        guide.Prepare(c.c);
        const std::string what = std::string("char ") + std::to_string(int(c.c));
        EXPECT_EQ(guide.mShiftSide, c.shift) << what;
        EXPECT_EQ(LitFingers(guide), c.lit) << what;
        EXPECT_EQ(Describe(guide.mKeyLabels), c.labels) << what;
        EXPECT_EQ(Describe(guide.mKeyHighlights), c.highlights) << what;
    }
}

TEST(KeyboardGuide, RestingFingersAndEveryImageNamed)
{
    KeyboardGuide guide;
    guide.Prepare('Q');
    guide.ResetFingers();
    EXPECT_TRUE(LitFingers(guide).empty());
    EXPECT_TRUE(guide.mKeyLabels.empty());
    EXPECT_FALSE(guide.mKeyHighlights.empty()) << "highlights stay until the next character";
    EXPECT_EQ(guide.mFingers[4].mX, 248);
    EXPECT_EQ(guide.mFingers[4].mY, 430);
    for (const auto& finger : guide.mFingers)
        EXPECT_GE(finger.mImage, 0);

    // Every printable character the guide shows names images the table has.
    for (int c = 32; c < 127; ++c) {
        guide.Prepare(char(c));
        for (const auto* list : {&guide.mKeyLabels, &guide.mKeyHighlights})
            for (const KeyPicture& p : *list)
                EXPECT_GE(p.mImage, 0) << char(c);
    }
    for (char c : {'_', '\\', '|', '\t', '\n'})
        EXPECT_FALSE(KeyboardGuide::CanShow(c)) << int(c);
    for (char c : std::string("azAZ09 .,;:'\"?!-()/@#$%^&*+=<>[]`~"))
        EXPECT_TRUE(KeyboardGuide::CanShow(c)) << c;
}

#pragma once
// The tutor's keyboard guide: for the next character to type, which finger to use
// (lit on the hands picture with a ring labelled with the character), whether Shift
// is needed and with which hand, and which key it is on the keyboard picture.
#include <array>
#include <string>
#include <vector>

namespace Zant {

class Graphics;
class Font;
class WinBTApp;

// An image of the application's table drawn at a place, with an optional label.
struct FingerImage {
    int mImage = -1; // index in the image table
    std::string mLabel;
    int mX = 0;
    int mY = 0;
};
using KeyPicture = FingerImage;

// A key of the keyboard picture: its glow image, where it lies and the label on
// its cap.
struct GuideKey {
    const char* mImage;
    int mX;
    int mY;
    const char* mLabel;
};

class KeyboardGuide {
public:
    static constexpr int NUM_FINGERS = 9;
    static constexpr int THUMB = 4;

    KeyboardGuide();

    // Every finger its resting image at its place; no labels.
    void ResetFingers();
    // Neither labels nor highlights, Shift not needed.
    void Clear();
    // Lights the finger, Shift and key for c.
    void Prepare(char c);
    // The fingers and the hands picture, the rings labelled in labelFont, and the
    // key highlights when showHighlights is set (each glow carries its key's label).
    void Draw(Graphics* g, WinBTApp* app, Font* labelFont, bool showHighlights) const;

    // 0 no Shift, 1 the right Shift key, -1 the left one.
    static int ShiftSideOf(char c);
    // 0 .. 8 from the left little finger to the right little finger; -1 none.
    static int FingerOf(char c);
    // The key that types c; null for none.
    static const GuideKey* KeyOf(char c);
    // Whether the guide shows a finger and a key for c.
    static bool CanShow(char c);
    // Index of an image in the application's table by name; -1 when it has none.
    static int ImageIndex(const char* name);

public:
    std::array<FingerImage, NUM_FINGERS> mFingers;
    std::vector<KeyPicture> mKeyLabels;     // drawn steadily
    std::vector<KeyPicture> mKeyHighlights; // drawn in the blink phase, labelled with the key's cap
    int mShiftSide = 0;

private:
    void LightFinger(int finger, const std::string& label);
};

} // namespace Zant

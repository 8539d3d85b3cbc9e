// A dialog drawn by the widget manager, shown in a real X window (a private Xvfb
// server) and read back from the window: the frame, header, three lines and two
// buttons must land where the preferred height and the button layout put them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/app/ZantApp.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SysFont.h"
#include "framework/graphics/TextSurfaceImage.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/WidgetManager.h"
#include "tests/support/GameScreens.h"

namespace {

constexpr uint32_t kBackground = 0xFF0B1E3A;
constexpr uint32_t kEdge = 0xFF0A1420;
constexpr uint32_t kBrass = 0xFFB8893B;
constexpr uint32_t kGlass = 0xFF2A7FA8;
constexpr uint32_t kButtonFace = 0xFF5A4020;

// A nine-part frame: a 1-pixel dark edge and a brass band round a glass centre;
// every middle cell is one flat colour across, so it tiles without seams.
std::unique_ptr<Zant::MemoryImage> MakeFrame(int side, int band, uint32_t centre)
{
    std::vector<uint32_t> bits(static_cast<size_t>(side) * side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int d = std::min(std::min(x, y), std::min(side - 1 - x, side - 1 - y));
            bits[y * side + x] = d == 0 ? kEdge : d < band ? kBrass : centre;
        }
    }
    auto image = std::make_unique<Zant::MemoryImage>();
    image->SetBits(bits.data(), side, side);
    return image;
}

bool IsLineText(uint32_t p) // yellow lines, anti-aliased over glass
{
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return r > 140 && g > 140 && b < 120;
}

bool IsWhiteText(uint32_t p)
{
    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    return r > 170 && g > 170 && b > 170;
}

// Rows of the rectangle holding at least one pixel that passes the test, grouped
// into runs of consecutive rows: (first, last) pairs.
template <typename Test>
std::vector<std::pair<int, int>> RowBands(const std::vector<uint32_t>& px, int pitch, int x0, int x1, int y0, int y1,
                                          Test test)
{
    std::vector<std::pair<int, int>> bands;
    for (int y = y0; y < y1; ++y) {
        bool hit = false;
        for (int x = x0; x < x1 && !hit; ++x)
            hit = test(px[static_cast<size_t>(y) * pitch + x]);
        if (!hit)
            continue;
        if (!bands.empty() && bands.back().second == y - 1)
            bands.back().second = y;
        else
            bands.emplace_back(y, y);
    }
    return bands;
}

} // namespace

TEST(DialogScreenshot, HeaderThreeLinesAndTwoButtonsInAGeneratedFrame)
{
    TestSupport::FrameWindow window;
    if (const std::string why = window.Start("dialog"); !why.empty())
        GTEST_SKIP() << why;
    {
        Zant::ZantApp app;
        app.SetWindowSystem(&window.Windows());
        app.mWidgetManager = new Zant::WidgetManager(&app);
        app.mWidgetManager->SetScreenSize(640, 480);
        Zant::TextSurfaceImage frame;
        frame.Create(640, 480);
        std::fill(frame.GetBits(), frame.GetBits() + 640 * 480, kBackground);
        frame.BitsChanged();
        app.mWidgetManager->mImage = &frame;

        auto dialogImage = MakeFrame(48, 6, kGlass);
        auto buttonImage = MakeFrame(30, 3, kButtonFace);
        auto* dialog = new Zant::Dialog(dialogImage.get(), buttonImage.get(), 42, true, "HEADER",
                                        "FIRST LINE\nSECOND LINE\nTHIRD LINE", "", Zant::BUTTONS_OK_CANCEL);
        const int width = 320;
        const int height = dialog->GetPreferredHeight(width);
        const int x = (640 - width) / 2, y = (480 - height) / 2;
        dialog->Resize(x, y, width, height);
        app.AddDialog(42, dialog);
        app.mWidgetManager->DrawScreen();

        const std::vector<uint32_t> shot = window.Show(frame, "dialog.png");
        ASSERT_FALSE(shot.empty());
        TestSupport::SaveShot(TestSupport::Picture(shot, 640, 480), "dialogs", "dialog.png");

        auto at = [&](int px, int py) { return shot[static_cast<size_t>(py) * 640 + px] | 0xFF000000u; };
        // The frame covers exactly the dialog's rectangle.
        EXPECT_EQ(at(x - 1, y + height / 2), kBackground);
        EXPECT_EQ(at(x, y + height / 2), kEdge);
        EXPECT_EQ(at(x + width - 1, y + height / 2), kEdge);
        EXPECT_EQ(at(x + width, y + height / 2), kBackground);
        EXPECT_EQ(at(x + width / 2, y), kEdge);
        EXPECT_EQ(at(x + width / 2, y + height - 1), kEdge);
        EXPECT_EQ(at(x + width / 2, y + height), kBackground);
        EXPECT_EQ(at(x + 10, y + 10), kGlass);

        Zant::Font* header = dialog->mHeaderFont;
        Zant::Font* lines = dialog->mLinesFont;
        ASSERT_GT(header->GetHeight(), 0) << "no system font installed";
        const int headerBaseline = y + 24 + header->GetAscent();
        const auto whiteBands = RowBands(shot, 640, x + 24, x + width - 24, y + 6, y + height - 6, IsWhiteText);
        ASSERT_FALSE(whiteBands.empty());
        EXPECT_NEAR(whiteBands.front().second, headerBaseline, 1) << "the header's capitals end on its baseline";

        const auto lineBands = RowBands(shot, 640, x + 24, x + width - 24, y + 6, y + height - 6, IsLineText);
        ASSERT_EQ(lineBands.size(), 3u);
        const int firstBaseline = y + 24 + header->GetHeight() + 10 + lines->GetAscent();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(lineBands[i].second, firstBaseline + i * lines->GetLineSpacing(), 1) << "line " << i;

        // Buttons along the bottom, 16 px under the lines, inside the content insets.
        const Zant::Rect ok = dialog->mYesButton->GetRect();
        const Zant::Rect cancel = dialog->mNoButton->GetRect();
        EXPECT_EQ(ok.y + ok.height, y + height - 24);
        EXPECT_EQ(ok.y, firstBaseline + 2 * lines->GetLineSpacing() + lines->GetDescent() + 16);
        EXPECT_EQ(ok.x, x + 24);
        EXPECT_EQ(cancel.x + cancel.width, x + width - 24 - (width - 48 - 8) % 2);
        for (const Zant::Rect& b : {ok, cancel}) {
            EXPECT_EQ(at(b.x, b.y + b.height / 2), kEdge);
            EXPECT_EQ(at(b.x + 1, b.y + 1), kBrass);
            const auto captions = RowBands(shot, 640, b.x + 3, b.x + b.width - 3, b.y + 3, b.y + b.height - 3,
                                           IsWhiteText);
            EXPECT_EQ(captions.size(), 1u) << "a white caption inside the button";
        }

        app.RemoveDialog(42);
        app.FlushWidgetDeletions();
        app.mWidgetManager->mImage = nullptr;
        app.SetWindowSystem(nullptr);
    }
}

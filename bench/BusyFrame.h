#pragma once
// A busy play-field frame of the game's own art, for comparing the 2D and 3D
// display paths: the sea, the surface scene and the sea bed, sharks, piranhas and
// small fish from their cel strips, a glowing shark and the zapper beam drawn
// additively, a tinted shark, a turned piranha, a stretched bubble, words over the
// creatures (in the game's word font) and a dimmed strip. The images come from the program folder through the
// game's image table; frame varies the cels and the sea's offset.
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ImageFont.h"
#include "game/shell/WinBTApp.h"

namespace BusyFrame {

// Font images join the same registry as the sprites.
class FontHost : public Zant::SoftwareFontHost {
public:
    Zant::Image* LoadFontImage(const std::string& path) override
    {
        std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(path, true);
        if (!loaded)
            return nullptr;
        auto* image = new Zant::MemoryImage(registry);
        image->SetBits(loaded->GetBits(), loaded->mWidth, loaded->mHeight);
        return image;
    }
    Zant::MemoryImage* NewFontImage() override { return new Zant::MemoryImage(registry); }
    Zant::ImageRegistry* registry = nullptr;
};

struct Art {
    Zant::MemoryImage* water = nullptr;
    Zant::MemoryImage* top = nullptr;
    Zant::MemoryImage* floor = nullptr;
    Zant::MemoryImage* shark = nullptr;
    Zant::MemoryImage* piranha = nullptr;
    Zant::MemoryImage* goldfish = nullptr;
    Zant::MemoryImage* glow = nullptr;
    Zant::MemoryImage* beam = nullptr;
    Zant::MemoryImage* bubble = nullptr;
    Zant::MemoryImage* diver = nullptr;
    std::vector<std::unique_ptr<Zant::MemoryImage>> images;
    FontHost fontHost;
    std::unique_ptr<Zant::ImageFont> font;

    // registry: where the images register (null: free-standing).
    bool Load(const std::string& gameDir, Zant::ImageRegistry* registry, std::string& error)
    {
        struct Wanted {
            int index;
            Zant::MemoryImage** slot;
        } wanted[] = {{Zant::IMAGE_WATER1, &water},
                      {Zant::IMAGE_TOPBACKGROUND, &top},
                      {Zant::IMAGE_OCEANFLOOR, &floor},
                      {Zant::IMAGE_SHARK_BASIC_SWIM, &shark},
                      {Zant::IMAGE_PIRANHA_BASIC_SWIM, &piranha},
                      {Zant::IMAGE_SMALLGOLDFISH, &goldfish},
                      {Zant::IMAGE_TOXIC_GLOW_SWIM, &glow},
                      {Zant::IMAGE_EMPWAVE, &beam},
                      {Zant::IMAGE_BUBBLE1, &bubble},
                      {Zant::IMAGE_DIVER_IDLE, &diver}};
        for (const Wanted& w : wanted) {
            const std::string path = gameDir + "/images/" + Zant::WinBTApp::IMAGE_NAMES[w.index];
            std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(path, true);
            if (!loaded) {
                error = "cannot load " + path;
                return false;
            }
            images.push_back(std::make_unique<Zant::MemoryImage>(registry));
            images.back()->SetBits(loaded->GetBits(), loaded->mWidth, loaded->mHeight);
            // As the game keeps its sprites.
            images.back()->Palletize();
            *w.slot = images.back().get();
        }
        fontHost.registry = registry;
        font = std::make_unique<Zant::ImageFont>(&fontHost, gameDir + "/data/MyriadCondensedWeb15.txt");
        if (font->StringWidth("shark") <= 0) {
            error = "cannot load the word font";
            return false;
        }
        return true;
    }

    // Images leave before the display that drew them.
    void Release()
    {
        font.reset();
        images.clear();
    }
};

inline void Draw(Zant::Image* screen, Art& art, int frame)
{
    using namespace Zant;
    Graphics g(screen);
    g.DrawImage(art.water, 0, 0, Rect(frame % 80, 0, 640, 480));
    g.DrawImage(art.top, 0, 0);
    g.DrawImage(art.floor, 0, 330);
    g.DrawImage(art.diver, 20, 200, Rect((frame % 8) * 50, 0, 50, 86));
    for (int i = 0; i < 12; ++i)
        g.DrawImage(art.goldfish, 40 + i * 47, 260 + (i * 37) % 60, Rect(((i + frame) % 20) * 20, 0, 20, 20));
    g.SetFont(art.font.get());
    for (int i = 0; i < 6; ++i) {
        const int x = 120 + (i * 83) % 420, y = 40 + i * 60;
        g.DrawImage(art.shark, x, y, Rect(((i + frame) % 20) * 170, 0, 170, 76));
        g.SetColor(Color::White);
        g.DrawString("shark", x + 60, y + 40);
    }
    for (int i = 0; i < 8; ++i) {
        const int x = 60 + (i * 71) % 520, y = 90 + (i * 53) % 300;
        g.DrawImage(art.piranha, x, y, Rect(((i + frame) % 20) * 60, 0, 60, 60));
        g.SetColor(Color(255, 230, 120));
        g.DrawString("bite", x + 14, y + 36);
    }
    g.SetDrawMode(DRAWMODE_ADDITIVE);
    g.DrawImage(art.glow, 380, 300, Rect((frame % 20) * 190, 0, 190, 96));
    g.DrawImage(art.beam, 300, 0);
    g.SetDrawMode(DRAWMODE_NORMAL);
    g.SetColorizeImages(true);
    g.SetColor(Color(255, 120, 120, 200));
    g.DrawImage(art.shark, 420, 380, Rect(0, 0, 170, 76));
    g.SetColorizeImages(false);
    screen->BltRotated(art.piranha, 500.0f, 180.0f, Rect(0, 0, 60, 60), Rect(0, 0, 640, 480), Color::White,
                       DRAWMODE_NORMAL, 0.6, 30, 30);
    g.DrawImage(art.bubble, Rect(560, 120, 32, 32), Rect(0, 0, 8, 8));
    g.SetColor(Color(0, 0, 0, 100));
    g.FillRect(0, 440, 640, 40);
}

} // namespace BusyFrame

#pragma once
// The painters: one function per image (or per family of images sharing a
// name prefix) that paints it onto a canvas of the manifest's size.
#include <functional>
#include <map>
#include <string>

#include "tools/art/Manifest.h"
#include "tools/art/Paint.h"

namespace Zant::Art {

using Painter = std::function<void(Canvas& canvas, const ImageSpec& entry)>;

class Registry {
public:
    void Add(const std::string& name, Painter painter) { mExact[name] = std::move(painter); }
    const Painter* Find(const std::string& name) const
    {
        auto found = mExact.find(name);
        return found == mExact.end() ? nullptr : &found->second;
    }

private:
    std::map<std::string, Painter> mExact;
};

void RegisterCreatures(Registry& registry);
void RegisterSharks(Registry& registry);
void RegisterBosses(Registry& registry);
void RegisterBoard(Registry& registry);
void RegisterScreens(Registry& registry);
void RegisterInterface(Registry& registry);
void RegisterTutor(Registry& registry);

} // namespace Zant::Art

namespace Zant::Art {
// look: 0 normal, 1 over (brighter, glowing), 2 down (1 px lower, darker).
void PaintGlassButton(cairo_t* cr, double x, double y, double w, double h, const std::string& label, double size, int look,
                      double radius);
// The bosses, for pictures that show them small.
void PaintBossPortrait(cairo_t* cr, int kind);
} // namespace Zant::Art

namespace Zant::Art {
// Creatures drawn into scenes (title, menu, tutor): each at its cel's origin.
void PaintShark(cairo_t* cr, const std::string& kind, double phase);   // 170x76
void PaintPiranha(cairo_t* cr, const std::string& kind, double phase); // 60x60
void PaintJelly(cairo_t* cr, double phase);                            // 96x112
void PaintDiver(cairo_t* cr, double phase);                            // 50x86
void PaintBubble(cairo_t* cr, double x, double y, double r);
} // namespace Zant::Art

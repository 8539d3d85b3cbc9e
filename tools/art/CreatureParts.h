#pragma once
// Pieces shared by the creature painters: eyes, the shock rim and sparks.
#include <cairo.h>

#include <functional>

#include "tools/art/Paint.h"

namespace Zant::Art {

// A round eye with its iris and pupil looking left (the way creatures swim),
// or a cross when dead.
void DrawEye(cairo_t* cr, double x, double y, double r, Rgb iris, bool dead);
// The electric blue-white rim drawn round a shocked creature: the silhouette
// painted by the callback, blurred, laid under what follows.
void ShockRim(cairo_t* cr, int w, int h, const std::function<void(cairo_t*)>& silhouette);
// A small forked spark.
void Bolt(cairo_t* cr, Rand& r, double x, double y, double len, double angle);

} // namespace Zant::Art

#include "framework/graphics/TextWatch.h"

namespace Zant {

namespace {

TextWatch* gTextWatch = nullptr;

} // namespace

TextWatch* CurrentTextWatch()
{
    return gTextWatch;
}

TextWatch* SetTextWatch(TextWatch* watch)
{
    TextWatch* was = gTextWatch;
    gTextWatch = watch;
    return was;
}

} // namespace Zant

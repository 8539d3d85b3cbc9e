#include "framework/widgets/ControlFont.h"

#include "framework/app/ZantApp.h"
#include "framework/graphics/SysFont.h"

namespace Zant {

Font* CreateControlFont(int pointSize, bool bold)
{
    return new SysFont(gZantApp, "SansSerif", pointSize, 0, bold);
}

} // namespace Zant

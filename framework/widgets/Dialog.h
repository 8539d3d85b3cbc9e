#pragma once
// A framed, optionally modal window with its own buttons; the application keeps
// open dialogs by id.
#include "framework/widgets/Widget.h"

namespace Zant {

class Dialog : public Widget {
public:
    Dialog() = default;
    bool mIsModal = false;
    int mId = 0;
};

} // namespace Zant

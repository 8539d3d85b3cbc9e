#pragma once
// The list of the game's list dialogs (players, start depths): centred lines on a
// deep aqua glass panel with a brass frame and a dark edge, as the other panels.
#include "framework/widgets/ListWidget.h"

namespace Zant {

class DialogList : public ListWidget {
public:
    DialogList(Font* font, ListListener* listener);

    void Draw(Graphics* g) override;
};

} // namespace Zant

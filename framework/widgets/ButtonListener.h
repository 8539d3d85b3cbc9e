#pragma once
// Listener interfaces through which controls report to their owners by integer id.
#include <string>

namespace Zant {

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    virtual void ButtonPress(int id, int clickCount) { ButtonPress(id); }
    virtual void ButtonPress(int id) {}
    virtual void ButtonDepress(int id) {}
    virtual void ButtonDownTick(int id) {}
};

class EditListener {
public:
    virtual ~EditListener() = default;
    virtual void EditWidgetText(int id, const std::string& text) {}
    virtual bool AllowKey(int id, int key) { return true; }
    virtual bool AllowChar(int id, char c) { return true; }
    virtual bool AllowText(int id, const std::string& text) { return true; }
};

class ListListener {
public:
    virtual ~ListListener() = default;
    virtual void ListClicked(int id, int index, int clickCount) {}
};

class ScrollListener {
public:
    virtual ~ScrollListener() = default;
    virtual void ScrollPosition(int id, double position) {}
};

class SliderListener {
public:
    virtual ~SliderListener() = default;
    virtual void SliderVal(int id, double value) {}
};

class CheckboxListener {
public:
    virtual ~CheckboxListener() = default;
    virtual void CheckboxChecked(int id, bool checked) {}
};

} // namespace Zant

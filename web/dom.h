#pragma once

#include <string>

// The few things the page's window does with the document, each one call into the browser.
// Elements are numbered in the order they are made; text is UTF-8.
namespace dom {

using Element = int;
inline constexpr Element None = -1;

// A new element `tag` with that id, inline style and text, appended to `parent` (None: the body).
Element Make(Element parent, const std::string& tag, const std::string& id,
             const std::string& style, const std::string& text);

// Sets an attribute; removes it when `value` is null.
void SetAttribute(Element element, const char* name, const char* value);
[[nodiscard]] bool HasAttribute(Element element, const char* name);

// Adds declarations to the element's inline style.
void AddStyle(Element element, const std::string& style);
void SetText(Element element, const std::string& text);
[[nodiscard]] std::string Text(Element element);

void SetClass(Element element, const char* name, bool on);
// Gives the element the keyboard focus and, if `reveal`, scrolls it into view.
void Focus(Element element, bool reveal);
void SetTitle(const std::string& title);

// What the page reports of its elements: a click (however raised), a key going down or up
// (`key` the key's code: 13 Return, 32 Space, 37 to 40 the arrows, 27 Escape), a mouse button or
// a finger going down, or the mouse or the focus coming onto an element.
enum class Event { Click, KeyDown, KeyUp, Press, Enter };

class Listener {
public:
    // Returns true where the browser's own response to the event is not to happen.
    virtual bool OnEvent(Event event, Element target, int key, bool repeat) = 0;

protected:
    Listener() = default;
    Listener(const Listener&) = default;
    Listener& operator=(const Listener&) = default;
    Listener(Listener&&) = default;
    Listener& operator=(Listener&&) = default;
    ~Listener() = default;
};

// Reports the events of `root` and everything in it to `listener`, which must outlive the page.
void Listen(Element root, Listener& listener);

} // namespace dom

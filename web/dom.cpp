#include "dom.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

// The browser's side of each call. Elements live in one list, numbered as made.
// NOLINTBEGIN: the JavaScript bodies are not C++.
// clang-format off
EM_JS(int, dom_make, (int parent, const char* tag, const char* id, const char* style,
                      const char* text), {
    var list = Module.elements || (Module.elements = []);
    var element = document.createElement(UTF8ToString(tag));
    element.id = UTF8ToString(id);
    element.style.cssText = UTF8ToString(style);
    element.textContent = UTF8ToString(text);
    (parent < 0 ? document.body : list[parent]).appendChild(element);
    return list.push(element) - 1;
});

EM_JS(void, dom_set_attribute, (int element, const char* name, const char* value), {
    var target = Module.elements[element];
    if (value) target.setAttribute(UTF8ToString(name), UTF8ToString(value));
    else target.removeAttribute(UTF8ToString(name));
});

EM_JS(int, dom_has_attribute, (int element, const char* name), {
    return Module.elements[element].hasAttribute(UTF8ToString(name));
});

EM_JS(void, dom_add_style, (int element, const char* style), {
    Module.elements[element].style.cssText += UTF8ToString(style);
});

EM_JS(void, dom_set_text, (int element, const char* text), {
    Module.elements[element].textContent = UTF8ToString(text);
});

EM_JS(int, dom_text_size, (int element), {
    return lengthBytesUTF8(Module.elements[element].textContent);
});

EM_JS(void, dom_copy_text, (int element, char* to, int size), {
    stringToUTF8(Module.elements[element].textContent, to, size);
});

EM_JS(void, dom_set_class, (int element, const char* name, int on), {
    Module.elements[element].classList.toggle(UTF8ToString(name), !!on);
});

EM_JS(void, dom_focus, (int element, int reveal), {
    Module.elements[element].focus({preventScroll: !reveal});
});

EM_JS(void, dom_set_title, (const char* title), {
    document.title = UTF8ToString(title);
});

EM_JS(void, dom_listen, (int root, dom::Listener* listener), {
    ["click", "keydown", "keyup", "mousedown", "pointerover", "focusin"].forEach(function(type,
                                                                                       kind) {
        Module.elements[root].addEventListener(type, function(event) {
            var target = Module.elements.indexOf(event.target);
            if (_dom_event(listener, Math.min(kind, 4), target, event.keyCode | 0, event.repeat))
                event.preventDefault();
        });
    });
});
// clang-format on
// NOLINTEND

namespace dom {

Element Make(Element parent, const std::string& tag, const std::string& id,
             const std::string& style, const std::string& text) {
    return dom_make(parent, tag.c_str(), id.c_str(), style.c_str(), text.c_str());
}

void SetAttribute(Element element, const char* name, const char* value) {
    dom_set_attribute(element, name, value);
}

bool HasAttribute(Element element, const char* name) {
    return dom_has_attribute(element, name) != 0;
}

void AddStyle(Element element, const std::string& style) {
    dom_add_style(element, style.c_str());
}

void SetText(Element element, const std::string& text) {
    dom_set_text(element, text.c_str());
}

std::string Text(Element element) {
    std::string text(static_cast<std::size_t>(dom_text_size(element)), '\0');
    dom_copy_text(element, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

void SetClass(Element element, const char* name, bool on) {
    dom_set_class(element, name, on ? 1 : 0);
}

void Focus(Element element, bool reveal) {
    dom_focus(element, reveal ? 1 : 0);
}

void SetTitle(const std::string& title) {
    dom_set_title(title.c_str());
}

void Listen(Element root, Listener& listener) {
    dom_listen(root, &listener);
}

} // namespace dom

// Called by the listeners of dom_listen.
extern "C" EMSCRIPTEN_KEEPALIVE int dom_event(dom::Listener* listener, int kind, int target,
                                              int key, int repeat) {
    return listener->OnEvent(static_cast<dom::Event>(kind), target, key, repeat != 0) ? 1 : 0;
}

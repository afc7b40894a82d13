#pragma once

#include "handles.h"

#include <windows.h>

#include <oleacc.h>

#include <map>
#include <string>

// The controls' descriptions for screen readers, handed to the accessibility service and kept
// here as well, since not every system takes them. Without the service the window works the
// same, only unannotated.
class Annotations {
public:
    Annotations() = default;
    Annotations(const Annotations&) = delete;
    Annotations& operator=(const Annotations&) = delete;
    Annotations(Annotations&&) = delete;
    Annotations& operator=(Annotations&&) = delete;
    ~Annotations();

    // Gives `control` its description; once the service has started, screen readers are told.
    void Describe(HWND control, const std::string& text);
    // Starts the service and hands it what has been described so far. COM is loaded here rather
    // than with the program, whose first frame it would hold up by several milliseconds.
    void Start();
    [[nodiscard]] bool Started() const { return started; }
    // Takes the descriptions back from the service, before the controls are destroyed.
    void Withdraw();

    // The description last given to `control`; empty if none.
    [[nodiscard]] std::string Of(HWND control) const;

private:
    void Annotate(HWND control, const std::string& text) const;

    std::map<HWND, std::string> descriptions;
    handles::Com<IAccPropServices> service;
    bool started = false;
    void(WINAPI* comUninitialize)() = nullptr; // set while COM is started on this thread
};

#pragma once

#include "handles.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string_view>

// What every window object needs between it and Windows: its window class registered once, the
// object adopted by its window at WM_NCCREATE and deleted with it at WM_NCDESTROY, and each
// message in between handed to Derived::OnMessage. Derived names its class in ClassName.
template <typename Derived> class WindowBase {
public:
    [[nodiscard]] HWND Hwnd() const { return window; }

    // The object of a window of this class in this process, or of one of its controls; nullptr
    // for any other window.
    static Derived* FromHwnd(HWND handle) {
        HWND root = handle ? GetAncestor(handle, GA_ROOT) : nullptr;
        DWORD process = 0;
        if (!root || GetWindowThreadProcessId(root, &process) == 0 ||
            process != GetCurrentProcessId())
            return nullptr;
        std::array<wchar_t, 64> className{};
        GetClassNameW(root, className.data(), static_cast<int>(className.size()));
        if (std::wstring_view(className.data()) != Derived::ClassName)
            return nullptr;
        return handles::AsPointer<Derived*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    }

    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    WindowBase(WindowBase&&) = delete;
    WindowBase& operator=(WindowBase&&) = delete;

protected:
    WindowBase() = default;
    ~WindowBase() = default; // the window deletes the object as Derived

    // Registers the class, with the icon of resource `icon`, unless it is already; false if
    // Windows refuses it.
    static bool Register(HINSTANCE instance, WORD icon) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        if (GetClassInfoExW(instance, Derived::ClassName, &windowClass) != FALSE)
            return true;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        // NOLINTBEGIN(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hIcon = static_cast<HICON>(LoadImageW(
            instance, MAKEINTRESOURCEW(icon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        // NOLINTEND(performance-no-int-to-ptr, cppcoreguidelines-pro-type-cstyle-cast)
        windowClass.lpszClassName = Derived::ClassName;
        return RegisterClassExW(&windowClass) != 0;
    }

    // Makes the top-level window of `object`, which from then on lives as long as the window.
    // Returns the object, or nullptr, the object deleted, if the window cannot be made.
    static Derived* Create(std::unique_ptr<Derived> object, DWORD exStyle, DWORD style,
                           const wchar_t* title, const RECT& frame, HINSTANCE instance) {
        Adoption adoption{object.get(), false};
        HWND made = CreateWindowExW(exStyle, Derived::ClassName, title, style, frame.left,
                                    frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                    nullptr, nullptr, instance, &adoption);
        if (!adoption.adopted)
            return nullptr;
        static_cast<void>(object.release()); // the window's, deleted already if it failed
        return made != nullptr ? adoption.object : nullptr;
    }

    [[nodiscard]] LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcW(window, message, wParam, lParam);
    }

private:
    // What CreateWindowExW hands to the window procedure: the object the new window takes over.
    struct Adoption {
        Derived* object;
        bool adopted;
    };

    HWND window = nullptr;

    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* adoption = static_cast<Adoption*>(
                handles::AsPointer<const CREATESTRUCTW*>(lParam)->lpCreateParams);
            static_cast<WindowBase*>(adoption->object)->window = handle;
            adoption->adopted = true;
            SetWindowLongPtrW(handle, GWLP_USERDATA,
                              handles::AsInteger<LONG_PTR>(adoption->object));
        }
        auto* object = handles::AsPointer<Derived*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
        if (!object)
            return DefWindowProcW(handle, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
            delete object;
            return DefWindowProcW(handle, message, wParam, lParam);
        }
        return object->OnMessage(message, wParam, lParam);
    }
};

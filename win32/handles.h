#pragma once

#include <windows.h>

#include <unknwn.h>

#include <memory>
#include <type_traits>

// Owners of the handles the window makes, and the conversions Windows' messages need.
namespace handles {

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// A font, brush or other GDI object, deleted with its owner.
template <typename Handle> using Gdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
// A COM interface, released with its owner.
template <typename Interface> using Com = std::unique_ptr<Interface, ComRelease>;

// Messages and window data carry handles and pointers as integers; these are the only
// conversions between the two.
// NOLINTBEGIN(cppcoreguidelines-pro-type-reinterpret-cast, performance-no-int-to-ptr)
template <typename Pointer, typename Value> Pointer AsPointer(Value value) {
    return reinterpret_cast<Pointer>(value);
}

template <typename Integer, typename Pointer> Integer AsInteger(Pointer pointer) {
    return reinterpret_cast<Integer>(pointer);
}

// A function of a library loaded at run time, as the type it is declared with.
template <typename Function> Function LibraryFunction(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
// NOLINTEND(cppcoreguidelines-pro-type-reinterpret-cast, performance-no-int-to-ptr)

} // namespace handles

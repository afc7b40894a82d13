#include "annotations.h"

#include "wide_text.h"

Annotations::~Annotations() {
    service.reset(); // before COM is let go
    if (comUninitialize)
        comUninitialize();
}

void Annotations::Describe(HWND control, const std::string& text) {
    descriptions[control] = text;
    if (!service)
        return; // handed over once the service starts
    Annotate(control, text);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

// COM stays loaded until the program ends.
void Annotations::Start() {
    started = true;
    HMODULE ole32 = LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!ole32)
        return;
    using handles::LibraryFunction;
    const auto initialize = LibraryFunction<decltype(&CoInitializeEx)>(ole32, "CoInitializeEx");
    const auto create = LibraryFunction<decltype(&CoCreateInstance)>(ole32, "CoCreateInstance");
    const auto uninitialize = LibraryFunction<decltype(&CoUninitialize)>(ole32, "CoUninitialize");
    if (!initialize || !create || !uninitialize ||
        FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    comUninitialize = uninitialize;
    IAccPropServices* made = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      handles::AsPointer<void**>(&made))))
        return;
    service.reset(made);
    for (const auto& [control, text] : descriptions)
        Annotate(control, text);
}

void Annotations::Withdraw() {
    if (!service)
        return;
    MSAAPROPID description = PROPID_ACC_DESCRIPTION;
    for (const auto& [control, text] : descriptions)
        service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                &description, 1);
}

std::string Annotations::Of(HWND control) const {
    const auto found = descriptions.find(control);
    return found == descriptions.end() ? std::string() : found->second;
}

void Annotations::Annotate(HWND control, const std::string& text) const {
    service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            PROPID_ACC_DESCRIPTION, widetext::ToUtf16(text).c_str());
}

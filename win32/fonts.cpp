#include "fonts.h"

#include "wide_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int CALLBACK FaceFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
    *handles::AsPointer<bool*>(found) = true;
    return 0; // one is enough
}

bool FaceInstalled(HDC dc, const std::wstring& face, int charset) {
    LOGFONTW query{};
    query.lfCharSet = static_cast<BYTE>(charset);
    face.copy(std::data(query.lfFaceName), LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, FaceFound, handles::AsInteger<LPARAM>(&found), 0);
    return found;
}

std::wstring ChooseFace(HDC dc, const layout::Font& look) {
    std::wstring face = widetext::ToUtf16(look.face);
    if (FaceInstalled(dc, face, look.charset))
        return face;
    const std::wstring substitute = widetext::ToUtf16(look.substitute);
    return FaceInstalled(dc, substitute, look.charset) ? substitute : face;
}

HFONT MakeFont(const layout::Font& look, const std::wstring& face, int dpi) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(look.points * dpi / 72.0));
    font.lfWeight = look.weight;
    font.lfCharSet = static_cast<BYTE>(look.charset);
    face.copy(std::data(font.lfFaceName), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

} // namespace

Fonts::Fonts() {
    HDC screen = GetDC(nullptr);
    for (std::size_t key = 0; key < faces.size(); ++key) {
        const layout::Font& look = layout::Fonts.at(key);
        // Fonts of one face and character set share one lookup.
        const auto* first = std::ranges::find_if(layout::Fonts, [&look](const layout::Font& font) {
            return font.face == look.face && font.charset == look.charset;
        });
        const auto seen = static_cast<std::size_t>(first - layout::Fonts.begin());
        faces.at(key) = seen < key ? faces.at(seen) : ChooseFace(screen, look);
    }
    ReleaseDC(nullptr, screen);
}

Fonts::Set Fonts::Rescale(int dpi) {
    Set made;
    for (std::size_t key = 0; key < made.size(); ++key)
        made.at(key).reset(MakeFont(layout::Fonts.at(key), faces.at(key), dpi));
    return std::exchange(set, std::move(made));
}

HFONT Fonts::Of(layout::FontKey key) const {
    return set.at(static_cast<std::size_t>(key)).get();
}

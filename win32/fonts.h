#pragma once

#include "handles.h"
#include "layout.h"

#include <windows.h>

#include <array>
#include <string>

// The layout's fonts as Windows makes them: each face chosen once from what is installed, and a
// set of fonts made for each resolution the window is laid out for.
class Fonts {
public:
    using Set = std::array<handles::Gdi<HFONT>, layout::Fonts.size()>;

    // Chooses the faces: the designed face where it is installed with the designed character
    // set, else its substitute where that is, else the designed face for Windows' font mapper to
    // stand in for.
    Fonts();

    // Makes the fonts for a screen of `dpi` dots per inch the ones in use. Returns the set used
    // until then, to be let go once no control uses it.
    [[nodiscard]] Set Rescale(int dpi);

    // The font of `key` in the set in use; nullptr before the first Rescale.
    [[nodiscard]] HFONT Of(layout::FontKey key) const;

private:
    std::array<std::wstring, layout::Fonts.size()> faces;
    Set set;
};

#pragma once

#include "genotype_table.h"

#include <array>
#include <optional>
#include <string_view>

// The window's fixed layout. Positions and sizes are in twips (1/1440 inch), measured from the
// top-left corner of the client area; they become pixels in one place, ToPixels.
namespace layout {

struct Twips {
    int left, top, width, height;
};

struct Rgb {
    int red, green, blue;
};

// The unscaled desktop resolution, at which 15 twips make one pixel.
inline constexpr int StandardDpi = 96;

// A length in twips as whole pixels on a screen of `dpi` dots per inch, rounded to the nearest.
// Qt scales the pixels of 96 dots per inch for the screen itself; Win32 asks for the screen's own.
constexpr int ToPixels(int twips, int dpi = StandardDpi) {
    constexpr int TwipsPerInch = 1440;
    return (twips * dpi + TwipsPerInch / 2) / TwipsPerInch;
}

enum class FontKey { A, B, C, D, E, F };

struct Font {
    std::string_view face;
    double points;
    int weight;                  // 100 to 900, 700 is bold
    int charset;                 // 0 ANSI, 177 Hebrew
    std::string_view substitute; // used where the face is not installed
};

inline constexpr std::array<Font, 6> Fonts = {{
    {"Comic Sans MS", 11.25, 700, 0, "Comic Neue"},
    {"Comic Sans MS", 8.25, 700, 0, "Comic Neue"},
    {"Comic Sans MS", 12, 700, 0, "Comic Neue"},
    {"Narkisim", 15.75, 650, 177, "Nachlieli CLM"},
    {"MS Sans Serif", 9.75, 700, 177, "Liberation Sans"},
    {"Arial", 12, 700, 0, "Liberation Sans"},
}};

struct Window {
    std::string_view title;
    int clientWidth, clientHeight;
    Rgb background;
};

inline constexpr Window Form1 = {"Ambrelith", 5055, 3255, {192, 192, 0}};

struct Button {
    Twips rect;
    std::string_view caption;
    FontKey font;
    std::optional<Rgb> background; // nothing: the default button face
    int tabIndex;
};

using genetics::GenotypeCode;

inline constexpr std::array<Button, 6> Command1 = {{
    {{0, 480, 855, 495}, GenotypeCode[0], FontKey::A, {}, 0},
    {{840, 480, 855, 495}, GenotypeCode[1], FontKey::A, {}, 1},
    {{1680, 480, 855, 495}, GenotypeCode[2], FontKey::A, {}, 2},
    {{2520, 480, 855, 495}, GenotypeCode[3], FontKey::A, {}, 3},
    {{3360, 480, 855, 495}, GenotypeCode[4], FontKey::A, {}, 4},
    {{4200, 480, 855, 495}, GenotypeCode[5], FontKey::A, {}, 5},
}};

inline constexpr std::array<Button, 6> Command2 = {{
    {{0, 1560, 855, 495}, GenotypeCode[0], FontKey::A, {}, 6},
    {{840, 1560, 855, 495}, GenotypeCode[1], FontKey::A, {}, 7},
    {{1680, 1560, 855, 495}, GenotypeCode[2], FontKey::A, {}, 8},
    {{2520, 1560, 855, 495}, GenotypeCode[3], FontKey::A, {}, 9},
    {{3360, 1560, 855, 495}, GenotypeCode[4], FontKey::A, {}, 10},
    {{4200, 1560, 855, 495}, GenotypeCode[5], FontKey::A, {}, 11},
}};

inline constexpr Button Command3 = {
    {3840, 2400, 975, 495}, "RESTART", FontKey::B, Rgb{0, 192, 0}, 14};

enum class Align { Left, Centre };

struct Label {
    std::string_view name;
    Twips rect;
    std::string_view caption;
    FontKey font;
    std::optional<Rgb> text;       // nothing: the default button text colour
    std::optional<Rgb> background; // nothing: the default button face colour
    Align align;
    bool border;
    int tabIndex;
};

// Label1 to Label6, in that order: name, rectangle, caption, font, text colour, background,
// alignment, border, tab index.
// clang-format off
inline constexpr std::array<Label, 6> Labels = {{
    {"Label1", {120, 120, 4575, 375}, "Select blood group of Mother", FontKey::D,
     Rgb{192, 64, 0}, Rgb{192, 192, 0}, Align::Centre, false, 12},
    {"Label2", {240, 1200, 4335, 375}, "Select blood group of Father", FontKey::D,
     Rgb{192, 64, 0}, Rgb{192, 192, 0}, Align::Centre, false, 13},
    {"Label3", {0, 2520, 3015, 255}, "Blood group of your Child is:", FontKey::E,
     Rgb{0, 0, 255}, Rgb{192, 192, 0}, Align::Left, false, 15},
    {"Label4", {0, 2760, 3375, 495}, "", FontKey::C,
     {}, {}, Align::Centre, true, 16},
    {"Label5", {3480, 3000, 1695, 255}, "Tamberlune Works", FontKey::B,
     Rgb{255, 0, 255}, Rgb{192, 192, 0}, Align::Centre, false, 17},
    {"Label6", {1680, 2160, 1600, 375}, "", FontKey::F,
     {}, Rgb{0, 192, 192}, Align::Left, true, 18},
}};
// clang-format on

} // namespace layout

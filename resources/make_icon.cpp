// Builds the heart icon from its pixel maps (R red, g grey, . transparent):
//   make_icon ico OUT.ico MAP16 MAP32  Windows icon: 16 and 32 as drawn and 48 from MAP16, in 16
//                                      colours with a transparency mask; 256 from MAP32, as PNG
//   make_icon png OUT.png MAP SCALE    the map enlarged SCALE times by pixel repetition, RGBA
//   make_icon icns OUT.icns MAP16 MAP32  macOS icon: 16 from MAP16; 32, 64, 128, 256 from MAP32
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct PixelMap {
    std::size_t size = 0; // square: size x size
    std::vector<std::string> rows;
};

// Indices into the standard 16-colour palette.
constexpr std::uint8_t Grey = 8;
constexpr std::uint8_t Red = 9;

constexpr std::array<std::array<std::uint8_t, 3>, 16> StandardPalette = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

PixelMap ReadMap(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    PixelMap map;
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(".Rg") != std::string::npos)
            throw std::runtime_error(path + ": only '.', 'R' and 'g' may stand in a row");
        map.rows.push_back(line);
    }
    map.size = map.rows.size();
    for (const auto& row : map.rows)
        if (row.size() != map.size)
            throw std::runtime_error(path + ": the map must be square");
    if (map.size == 0 || map.size > 256)
        throw std::runtime_error(path + ": the map must be 1 to 256 pixels wide");
    return map;
}

void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

void Put32BigEndian(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A device-independent bitmap as an icon stores it: header, palette, colour rows, then mask
// rows, both bottom-up and padded to four bytes; the map enlarged SCALE times by repetition.
Bytes IconImage(const PixelMap& map, std::size_t scale) {
    const auto size = static_cast<std::uint32_t>(map.size * scale);
    const std::uint32_t colourStride = (size * 4 + 31) / 32 * 4;
    const std::uint32_t maskStride = (size + 31) / 32 * 4;
    Bytes out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2); // colour and mask together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, (colourStride + maskStride) * size);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const auto& [r, g, b] : StandardPalette)
        out.insert(out.end(), {b, g, r, 0});
    for (std::size_t y = size; y-- > 0;) {
        Bytes row(colourStride, 0);
        for (std::size_t x = 0; x < size; ++x) {
            const char c = map.rows[y / scale][x / scale];
            const std::uint8_t index = c == 'R' ? Red : c == 'g' ? Grey : 0;
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (std::size_t y = size; y-- > 0;) {
        Bytes row(maskStride, 0);
        for (std::size_t x = 0; x < size; ++x)
            if (map.rows[y / scale][x / scale] == '.')
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::uint32_t Crc32(const Bytes& data, std::size_t from) {
    std::uint32_t crc = 0xffffffff;
    for (std::size_t i = from; i < data.size(); ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// A four-letter type code, as PNG chunks and icns entries name themselves.
void PutType(Bytes& out, std::string_view type) {
    out.insert(out.end(), type.begin(), type.end());
}

void PutChunk(Bytes& out, std::string_view type, const Bytes& data) {
    Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    PutType(out, type);
    out.insert(out.end(), data.begin(), data.end());
    Put32BigEndian(out, Crc32(out, start));
}

// RGBA, 8 bits a channel.
Bytes Png(const PixelMap& map, std::size_t scale) {
    const std::size_t size = map.size * scale;
    Bytes raw;
    for (std::size_t y = 0; y < size; ++y) {
        raw.push_back(0); // no filter
        for (std::size_t x = 0; x < size; ++x) {
            const char c = map.rows[y / scale][x / scale];
            if (c == '.') {
                raw.insert(raw.end(), {0, 0, 0, 0});
                continue;
            }
            const auto& [r, g, b] = StandardPalette[c == 'R' ? Red : Grey];
            raw.insert(raw.end(), {r, g, b, 255});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK)
        throw std::runtime_error("cannot compress the image");
    packed.resize(packedSize);

    Bytes header;
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    Put32BigEndian(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

// Windows picks the image nearest the size it draws: 16 and 32 as designed, 48 from the 16 map
// (three times, as 32 goes into 48 by no whole number), 256 from the finer 32 map (eight times).
Bytes Icon(const PixelMap& small, const PixelMap& large) {
    struct Entry {
        Bytes image;
        std::uint8_t size; // 256 is written as 0
        bool png;
    };
    const std::array<Entry, 4> entries = {{{IconImage(small, 1), 16, false},
                                           {IconImage(large, 1), 32, false},
                                           {IconImage(small, 3), 48, false},
                                           {Png(large, 8), 0, true}}};
    Bytes out;
    Put16(out, 0);
    Put16(out, 1); // icon, not cursor
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& entry : entries) {
        const std::uint8_t colours = entry.png ? 0 : 16; // PNG's 32 bits a pixel need no palette
        out.insert(out.end(), {entry.size, entry.size, colours, 0});
        Put16(out, 1);
        Put16(out, entry.png ? 32 : 4);
        Put32(out, static_cast<std::uint32_t>(entry.image.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entry.image.size());
    }
    for (const Entry& entry : entries)
        out.insert(out.end(), entry.image.begin(), entry.image.end());
    return out;
}

// Each entry is a PNG image under the type code of its size.
Bytes AppleIcon(const PixelMap& small, const PixelMap& large) {
    struct Entry {
        std::string_view type;
        const PixelMap& map;
        std::size_t scale;
    };
    const std::array<Entry, 5> entries = {{{"icp4", small, 1},
                                           {"icp5", large, 1},
                                           {"icp6", large, 2},
                                           {"ic07", large, 4},
                                           {"ic08", large, 8}}};
    Bytes body;
    for (const Entry& entry : entries) {
        const Bytes png = Png(entry.map, entry.scale);
        PutType(body, entry.type);
        Put32BigEndian(body, static_cast<std::uint32_t>(png.size() + 8));
        body.insert(body.end(), png.begin(), png.end());
    }
    Bytes out = {'i', 'c', 'n', 's'};
    Put32BigEndian(out, static_cast<std::uint32_t>(body.size() + 8));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void Write(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary);
    // Streams write chars; the bytes are the same.
    out.write(reinterpret_cast<const char*>(data.data()), // NOLINT(*-reinterpret-cast)
              static_cast<std::streamsize>(data.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "ico") {
            Write(args[1], Icon(ReadMap(args[2]), ReadMap(args[3])));
        } else if (args.size() == 4 && args[0] == "png") {
            const std::size_t scale = std::stoul(args[3]);
            if (scale < 1 || scale > 16)
                throw std::runtime_error("the scale must be 1 to 16");
            Write(args[1], Png(ReadMap(args[2]), scale));
        } else if (args.size() == 4 && args[0] == "icns") {
            Write(args[1], AppleIcon(ReadMap(args[2]), ReadMap(args[3])));
        } else {
            std::cerr << "usage: make_icon ico OUT.ico MAP16 MAP32\n"
                         "       make_icon png OUT.png MAP SCALE\n"
                         "       make_icon icns OUT.icns MAP16 MAP32\n";
            return 2;
        }
    } catch (const std::exception& e) {
        std::cerr << "make_icon: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

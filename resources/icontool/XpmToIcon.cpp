// Build-time tool: converts one of the program's XPM images into the Windows
// icon or cursor file that the executable's resources take. Plain C++, so that
// it builds wherever the build runs, with or without Qt.
//
//   quillmar_xpm_to_icon input.xpm output.ico
//   quillmar_xpm_to_icon input.xpm output.cur HOTX HOTY
//
// The image keeps its palette: up to 16 colours give a 4-bit image, up to 256
// an 8-bit one; "None" becomes the transparent part of the mask.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    // Palette index per pixel, top row first; where transparent, -1 - the index
    // of black.
    std::vector<int> pixels;
};

// The quoted strings of the XPM file, in order: one a line, as the program's
// XPM files are written; the comment lines hold none.
std::vector<std::string> quotedStrings(std::istream& in)
{
    std::vector<std::string> strings;
    for (std::string line; std::getline(in, line);) {
        const std::size_t open = line.find('"');
        if (open == std::string::npos || line.starts_with("/*"))
            continue;
        const std::size_t close = line.find('"', open + 1);
        if (close == std::string::npos)
            throw std::runtime_error("unterminated string");
        strings.push_back(line.substr(open + 1, close - open - 1));
    }
    return strings;
}

// The colour table: each pixel key's palette index. Transparent pixels are
// black in the colour bits, so that the mask alone decides what shows there:
// the screen, untouched. Their key gives -1 - the index of black.
std::map<std::string, int> readColors(const std::vector<std::string>& strings, int colorCount, int charsPerPixel,
                                      Image& image)
{
    std::map<std::string, int> indexOfKey;
    for (int i = 0; i < colorCount; ++i) {
        const std::string& line = strings[1 + static_cast<std::size_t>(i)];
        const std::size_t c = line.find(" c ", static_cast<std::size_t>(charsPerPixel));
        if (c == std::string::npos)
            throw std::runtime_error("colour line without a 'c' colour: " + line);
        const std::string value = line.substr(c + 3, line.find(' ', c + 3) - c - 3);
        int& index = indexOfKey[line.substr(0, static_cast<std::size_t>(charsPerPixel))];
        if (value == "None") {
            index = -1;
        } else if (value.size() == 7 && value[0] == '#') {
            index = static_cast<int>(image.palette.size());
            image.palette.push_back(static_cast<std::uint32_t>(std::stoul(value.substr(1), nullptr, 16)));
        } else {
            throw std::runtime_error("unsupported colour: " + value);
        }
    }
    const auto black = std::find(image.palette.begin(), image.palette.end(), 0U) - image.palette.begin();
    if (black == std::ssize(image.palette))
        image.palette.push_back(0);
    if (image.palette.size() > 256)
        throw std::runtime_error("no room for black among 256 colours");
    for (auto& [key, index] : indexOfKey)
        index = index < 0 ? -1 - static_cast<int>(black) : index;
    return indexOfKey;
}

Image readXpm(std::istream& in)
{
    const std::vector<std::string> strings = quotedStrings(in);
    if (strings.empty())
        throw std::runtime_error("no XPM header");
    Image image;
    int colorCount = 0;
    int charsPerPixel = 0;
    std::istringstream header(strings[0]);
    header >> image.width >> image.height >> colorCount >> charsPerPixel;
    if (!header || image.width <= 0 || image.width > 256 || image.height <= 0 || image.height > 256 ||
        colorCount <= 0 || colorCount > 256 || charsPerPixel <= 0 ||
        strings.size() < 1 + static_cast<std::size_t>(colorCount + image.height))
        throw std::runtime_error("unsupported XPM header");

    const std::map<std::string, int> indexOfKey = readColors(strings, colorCount, charsPerPixel, image);
    const auto width = static_cast<std::size_t>(charsPerPixel);
    for (int y = 0; y < image.height; ++y) {
        const std::string& row = strings[1 + static_cast<std::size_t>(colorCount + y)];
        if (row.size() != static_cast<std::size_t>(image.width) * width)
            throw std::runtime_error("row of the wrong length");
        for (std::size_t at = 0; at < row.size(); at += width) {
            const auto found = indexOfKey.find(row.substr(at, width));
            if (found == indexOfKey.end())
                throw std::runtime_error("pixel of an undeclared colour");
            image.pixels.push_back(found->second);
        }
    }
    return image;
}

// Little-endian fields, 16 or 32 bits each.
void put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// Bytes of one row of a bitmap with this many bits per pixel, padded to 32 bits.
std::size_t rowBytes(int width, int bits)
{
    return static_cast<std::size_t>((width * bits + 31) / 32 * 4);
}

// The DIB of an icon or cursor image: header, palette, colour rows and the
// transparency mask, both bottom row first.
std::string iconBitmap(const Image& image, int bits)
{
    const auto paletteSize = 1U << bits;
    std::string colour(rowBytes(image.width, bits) * static_cast<std::size_t>(image.height), '\0');
    std::string mask(rowBytes(image.width, 1) * static_cast<std::size_t>(image.height), '\0');
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            int index = image.pixels[static_cast<std::size_t>(y * image.width + x)];
            if (index < 0) {
                mask[row * rowBytes(image.width, 1) + static_cast<std::size_t>(x / 8)] |=
                    static_cast<char>(0x80 >> (x % 8));
                index = -1 - index;
            }
            const std::size_t bit = static_cast<std::size_t>(x * bits);
            colour[row * rowBytes(image.width, bits) + bit / 8] |=
                static_cast<char>(index << (8 - bits - static_cast<int>(bit % 8)));
        }
    }
    // BITMAPINFOHEADER: its size, the width, the height of colour and mask
    // together, one plane and the bits per pixel (16 bits each), uncompressed,
    // the pixels' size, no resolution, the palette's size, all colours needed.
    std::string out;
    for (const std::uint32_t field :
         {40U, static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height * 2),
          1U | static_cast<std::uint32_t>(bits) << 16, 0U, static_cast<std::uint32_t>(colour.size() + mask.size()), 0U,
          0U, paletteSize, 0U})
        put32(out, field);
    for (std::size_t i = 0; i < paletteSize; ++i)
        put32(out, i < image.palette.size() ? image.palette[i] : 0);
    return out + colour + mask;
}

// An ICO (type 1) or CUR (type 2) file holding the one image.
std::string iconFile(const Image& image, bool cursor, int hotX, int hotY)
{
    const int bits = image.palette.size() <= 16 ? 4 : 8;
    const std::string bitmap = iconBitmap(image, bits);
    std::string out;
    for (const unsigned field : {0U, cursor ? 2U : 1U, 1U}) // reserved, the type, one image
        put16(out, field);
    out += static_cast<char>(image.width == 256 ? 0 : image.width);
    out += static_cast<char>(image.height == 256 ? 0 : image.height);
    out += static_cast<char>(bits == 4 ? 16 : 0); // colours, 0 meaning 256
    out += '\0';
    put16(out, cursor ? static_cast<unsigned>(hotX) : 1);                           // planes for an icon
    put16(out, cursor ? static_cast<unsigned>(hotY) : static_cast<unsigned>(bits)); // bits for an icon
    put32(out, static_cast<std::uint32_t>(bitmap.size()));
    put32(out, 6 + 16);
    return out + bitmap;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string output = argc >= 3 ? argv[2] : "";
    const bool cursor = output.ends_with(".cur") && output.size() > 4;
    if (argc != (cursor ? 5 : 3)) {
        std::fprintf(stderr, "usage: %s input.xpm output.ico | input.xpm output.cur HOTX HOTY\n", argv[0]);
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read the input");
        const std::string file =
            iconFile(readXpm(in), cursor, cursor ? std::stoi(argv[3]) : 0, cursor ? std::stoi(argv[4]) : 0);
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        out.write(file.data(), static_cast<std::streamsize>(file.size()));
        if (!out.flush())
            throw std::runtime_error("cannot write the output");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], error.what());
        return 1;
    }
    return 0;
}

// Draws Quillarbor's artwork: the sample toolbar skins in samples/, and the program icon as PNGs
// in resources/icons/ and as resources/quillarbor.ico for the Windows executable. Standard C++
// only, so the art can be regenerated anywhere without a graphics library. Run from the repository
// root (tools/make_art.sh does both steps):
//
//   g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -o /tmp/make_art tools/make_art.cpp &&
//   /tmp/make_art
//
// Output is deterministic: the same source always writes the same bytes.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

// Premultiplied colour with coverage, so that layers compose with the "over" operator.
struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

Rgb hex(std::uint32_t v) {
    return {((v >> 16) & 0xff) / 255.0, ((v >> 8) & 0xff) / 255.0, (v & 0xff) / 255.0};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double e0, double e1, double x) {
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// Piecewise-linear gradient through evenly spaced stops.
Rgb ramp(const std::vector<Rgb>& stops, double t) {
    t = clamp01(t) * static_cast<double>(stops.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(t), stops.size() - 2);
    return mix(stops[i], stops[i + 1], t - static_cast<double>(i));
}

void over(Rgba& dst, Rgb c, double alpha) {
    alpha = clamp01(alpha);
    dst.r = c.r * alpha + dst.r * (1 - alpha);
    dst.g = c.g * alpha + dst.g * (1 - alpha);
    dst.b = c.b * alpha + dst.b * (1 - alpha);
    dst.a = alpha + dst.a * (1 - alpha);
}

// Small fixed generator: std::rand and the standard distributions differ between libraries,
// and the art must come out the same everywhere.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state(seed) {}
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t state;
};

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255));
}

// ---------------------------------------------------------------------------------------------
// File writers

void putLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void putBe(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::cerr << "make_art: cannot write " << path.string() << '\n';
        return false;
    }
    std::cout << "wrote " << path.string() << " (" << bytes.size() << " bytes)\n";
    return true;
}

// 24-bit uncompressed Windows bitmap: bottom-up rows of BGR, each padded to 4 bytes.
std::vector<std::uint8_t> encodeBmp(int width, int height, const std::vector<Rgb>& pixels) {
    const auto rowBytes = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    const auto imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    putLe(out, 54 + imageBytes, 4);
    putLe(out, 0, 4);  // reserved
    putLe(out, 54, 4); // offset of the pixels
    putLe(out, 40, 4); // BITMAPINFOHEADER
    putLe(out, static_cast<std::uint32_t>(width), 4);
    putLe(out, static_cast<std::uint32_t>(height), 4);
    putLe(out, 1, 2);  // planes
    putLe(out, 24, 2); // bits per pixel
    putLe(out, 0, 4);  // BI_RGB
    putLe(out, imageBytes, 4);
    putLe(out, 2835, 4); // 72 dots per inch
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& p = pixels[static_cast<std::size_t>(y * width + x)];
            out.push_back(toByte(p.b));
            out.push_back(toByte(p.g));
            out.push_back(toByte(p.r));
        }
        for (auto i = static_cast<std::uint32_t>(width * 3); i < rowBytes; ++i) {
            out.push_back(0);
        }
    }
    return out;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    putBe(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBe(out, crc32(out.data() + start, out.size() - start));
}

// RGBA PNG whose zlib stream uses stored (uncompressed) deflate blocks: no compressor needed,
// and the icons are small enough that the size does not matter.
std::vector<std::uint8_t> encodePng(int size, const std::vector<Rgba>& pixels) {
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < size; ++x) {
            const Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
            // Stored premultiplied; PNG wants straight alpha.
            const double inv = p.a > 0 ? 1 / p.a : 0;
            raw.push_back(toByte(p.r * inv));
            raw.push_back(toByte(p.g * inv));
            raw.push_back(toByte(p.b * inv));
            raw.push_back(toByte(p.a));
        }
    }

    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
        zlib.push_back(pos + len == raw.size() ? 1 : 0); // BFINAL, BTYPE 00
        putLe(zlib, static_cast<std::uint32_t>(len), 2);
        putLe(zlib, static_cast<std::uint32_t>(~len & 0xffff), 2);
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                    raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    } while (pos < raw.size());
    putBe(zlib, adler32(raw));

    std::vector<std::uint8_t> header;
    putBe(header, static_cast<std::uint32_t>(size));
    putBe(header, static_cast<std::uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

// ---------------------------------------------------------------------------------------------
// Windows icon: palette images in the classic BMP form, 16 and 256 colours, which every version
// of the shell can show. Each image is a BITMAPINFOHEADER whose height counts both bitmaps, the
// palette, the colour (XOR) bitmap and then the 1-bit transparency (AND) mask, both bottom-up
// with rows padded to 4 bytes.

struct Rgb8 {
    int r = 0, g = 0, b = 0;
    auto operator<=>(const Rgb8&) const = default;
};

// The 16 standard Windows colours (the VGA colours) in the order of the system palette.
const std::vector<Rgb8> kVgaPalette = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// Squared distance with the channels weighted roughly as the eye weighs them.
int colourDistance(Rgb8 a, Rgb8 b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

std::uint8_t nearestIndex(const std::vector<Rgb8>& palette, Rgb8 c) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < palette.size(); ++i) {
        if (colourDistance(palette[i], c) < colourDistance(palette[best], c)) {
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// The 16 colours are all fully saturated or grey, so the art's softer tints would mostly land on
// greys; doubling each colour's distance from its own grey first keeps the hues recognisable.
// Dithering was tried and left out: at 16 x 16 it turns into noise.
std::uint8_t vgaIndex(Rgb8 c) {
    const double grey = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    const auto boost = [grey](int v) {
        return std::clamp(static_cast<int>(std::lround(grey + (v - grey) * 2)), 0, 255);
    };
    return nearestIndex(kVgaPalette, {boost(c.r), boost(c.g), boost(c.b)});
}

// A palette of at most `count` colours by median cut: split the box of colours with the widest
// channel range at its median until there are enough boxes, then take each box's mean.
std::vector<Rgb8> medianCut(std::vector<Rgb8> colours, std::size_t count) {
    struct Box {
        std::size_t begin, end;
    };
    const auto channel = [](Rgb8 c, int ch) { return ch == 0 ? c.r : ch == 1 ? c.g : c.b; };
    const auto widest = [&](const Box& box, int& which) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (std::size_t i = box.begin; i < box.end; ++i) {
                lo = std::min(lo, channel(colours[i], ch));
                hi = std::max(hi, channel(colours[i], ch));
            }
            if (hi - lo > best) {
                best = hi - lo;
                which = ch;
            }
        }
        return best;
    };

    std::vector<Box> boxes;
    if (!colours.empty()) {
        boxes.push_back({0, colours.size()});
    }
    while (boxes.size() < count) {
        std::size_t pick = 0;
        int pickChannel = 0, pickRange = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            int ch = 0;
            const int range = widest(boxes[i], ch);
            if (range > pickRange) {
                pick = i;
                pickChannel = ch;
                pickRange = range;
            }
        }
        if (pickRange == 0) {
            break; // every box holds a single colour
        }
        Box& box = boxes[pick];
        // Ties are broken by the whole colour, so the order (and the palette) is the same with
        // every standard library.
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(box.end), [&](Rgb8 a, Rgb8 b) {
                      const int ka = channel(a, pickChannel), kb = channel(b, pickChannel);
                      return ka != kb ? ka < kb : a < b;
                  });
        const std::size_t middle = box.begin + (box.end - box.begin) / 2;
        const Box upper{middle, box.end};
        box.end = middle;
        boxes.push_back(upper);
    }

    std::vector<Rgb8> palette;
    for (const Box& box : boxes) {
        long r = 0, g = 0, b = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            r += colours[i].r;
            g += colours[i].g;
            b += colours[i].b;
        }
        const auto n = static_cast<long>(box.end - box.begin);
        palette.push_back({static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                           static_cast<int>((b + n / 2) / n)});
    }
    return palette;
}

// Palette images know only opaque and transparent; partly covered pixels count as opaque from
// half coverage on, in their own (unpremultiplied) colour.
bool opaque(const Rgba& p) {
    return p.a >= 0.5;
}

Rgb8 straightColour(const Rgba& p) {
    const double inv = p.a > 0 ? 1 / p.a : 0;
    return {toByte(p.r * inv), toByte(p.g * inv), toByte(p.b * inv)};
}

std::vector<std::uint8_t> encodeIconImage(int size, int bits, const std::vector<Rgba>& pixels) {
    // Index 0 is black in both palettes: transparent pixels must be black in the colour bitmap,
    // so that the AND-then-XOR drawing leaves the screen beneath them unchanged.
    std::vector<Rgb8> palette = kVgaPalette;
    if (bits == 8) {
        std::vector<Rgb8> colours;
        for (const Rgba& p : pixels) {
            if (opaque(p)) {
                colours.push_back(straightColour(p));
            }
        }
        palette = {Rgb8{}};
        const std::vector<Rgb8> cut = medianCut(colours, 255);
        palette.insert(palette.end(), cut.begin(), cut.end());
    }

    std::vector<std::uint8_t> index(pixels.size(), 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const auto i = static_cast<std::size_t>(y * size + x);
            if (opaque(pixels[i])) {
                const Rgb8 c = straightColour(pixels[i]);
                index[i] = bits == 4 ? vgaIndex(c) : nearestIndex(palette, c);
            }
        }
    }

    const auto colourRow = static_cast<std::uint32_t>((size * bits + 31) / 32 * 4);
    const auto maskRow = static_cast<std::uint32_t>((size + 31) / 32 * 4);
    const auto side = static_cast<std::uint32_t>(size);
    std::vector<std::uint8_t> out;
    putLe(out, 40, 4);
    putLe(out, side, 4);
    putLe(out, side * 2, 4); // the colour bitmap and the mask, one above the other
    putLe(out, 1, 2);
    putLe(out, static_cast<std::uint32_t>(bits), 2);
    putLe(out, 0, 4); // BI_RGB
    putLe(out, (colourRow + maskRow) * side, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4); // all 2^bits palette entries are present
    putLe(out, 0, 4);
    for (std::size_t i = 0; i < (std::size_t{1} << bits); ++i) {
        const Rgb8 c = i < palette.size() ? palette[i] : Rgb8{};
        out.insert(out.end(), {static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g),
                               static_cast<std::uint8_t>(c.r), 0});
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x) {
            const std::uint8_t v = index[static_cast<std::size_t>(y * size + x)];
            if (bits == 8) {
                row[static_cast<std::size_t>(x)] = v;
            } else {
                row[static_cast<std::size_t>(x / 2)] |= x % 2 == 0 ? v << 4 : v;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x) {
            if (!opaque(pixels[static_cast<std::size_t>(y * size + x)])) {
                row[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

struct IconImage {
    int size, bits;
    std::vector<std::uint8_t> data;
};

// The .ico container: a directory of entries, then the images in the same order.
std::vector<std::uint8_t> encodeIco(const std::vector<IconImage>& images) {
    std::vector<std::uint8_t> out;
    putLe(out, 0, 2);
    putLe(out, 1, 2); // icon, not cursor
    putLe(out, static_cast<std::uint32_t>(images.size()), 2);
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        out.push_back(static_cast<std::uint8_t>(image.size)); // 256 would be written as 0
        out.push_back(static_cast<std::uint8_t>(image.size));
        out.push_back(image.bits == 4 ? 16 : 0); // colour count; 0 means 256 or more
        out.push_back(0);
        putLe(out, 1, 2); // planes
        putLe(out, static_cast<std::uint32_t>(image.bits), 2);
        putLe(out, static_cast<std::uint32_t>(image.data.size()), 4);
        putLe(out, offset, 4);
        offset += static_cast<std::uint32_t>(image.data.size());
    }
    for (const IconImage& image : images) {
        out.insert(out.end(), image.data.begin(), image.data.end());
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Toolbar skins. Each is a function of the pixel position in [0,1) x [0,1) (y downwards) and
// the aspect ratio, averaged over a few samples per pixel for smooth edges.

using Skin = std::function<Rgb(double x, double y, double aspect)>;

std::vector<Rgb> renderSkin(int width, int height, const Skin& skin) {
    constexpr int ss = 3;
    const double aspect = static_cast<double>(width) / height;
    std::vector<Rgb> pixels(static_cast<std::size_t>(width * height));
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            Rgb sum;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgb c = skin((px + (sx + 0.5) / ss) / width,
                                       (py + (sy + 0.5) / ss) / height, aspect);
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                }
            }
            pixels[static_cast<std::size_t>(py * width + px)] = {
                sum.r / (ss * ss), sum.g / (ss * ss), sum.b / (ss * ss)};
        }
    }
    return pixels;
}

Rgb sunset(double x, double y, double aspect) {
    const double horizon = 0.72;
    const double sx = 0.74 * aspect, sy = 0.70, radius = 0.26;
    const double dx = x * aspect - sx, dy = y - sy;
    const double dist = std::sqrt(dx * dx + dy * dy);
    Rgb c;
    if (y < horizon) {
        c = ramp({hex(0x3b1f5c), hex(0x8e3b73), hex(0xe8676b), hex(0xfdb55f)}, y / horizon);
        c = mix(c, hex(0xffe3a0), 0.55 * std::exp(-dist * dist * 6)); // glow
        c = mix(c, hex(0xfff1c4), smoothstep(radius + 0.01, radius - 0.01, dist));
    } else {
        const double depth = (y - horizon) / (1 - horizon);
        c = mix(hex(0xd2706a), hex(0x4a2a5e), depth);
        // The sun's reflection: broken horizontal glints below it.
        const double band = std::exp(-dx * dx * 14) *
                            smoothstep(0.2, 0.9, std::sin(y * 180 + std::sin(x * 90) * 2));
        c = mix(c, hex(0xffd89a), 0.7 * band * (1 - depth * 0.6));
    }
    return c;
}

Rgb ocean(double x, double y, double aspect) {
    Rgb c = ramp({hex(0xbfe9f5), hex(0x5fb7d9), hex(0x2a7bb0), hex(0x143f73)}, y);
    // Three swells, the nearer ones larger and darker, each with a pale crest.
    const std::array<double, 3> level = {0.35, 0.58, 0.80};
    const std::array<double, 3> amp = {0.04, 0.06, 0.08};
    const std::array<double, 3> freq = {9.0, 6.0, 4.0};
    const std::array<Rgb, 3> body = {hex(0x3f9ccc), hex(0x24709f), hex(0x113a66)};
    for (std::size_t i = 0; i < level.size(); ++i) {
        const double wave = level[i] + amp[i] * std::sin(x * aspect * freq[i] + 1.7 * i) +
                            0.3 * amp[i] * std::sin(x * aspect * freq[i] * 2.3 + i);
        const double inside = smoothstep(wave - 0.01, wave + 0.01, y);
        const double crest = std::exp(-std::pow((y - wave) / 0.018, 2));
        c = mix(c, mix(body[i], c, 0.25 * (y - wave) / 0.2), inside);
        c = mix(c, hex(0xeaf9ff), 0.55 * crest);
    }
    return c;
}

Rgb forest(double x, double y, double aspect) {
    Rgb c = ramp({hex(0xf3f1c8), hex(0xcfe5b5), hex(0x9ccf9b)}, y);
    // Three rows of pines, far to near: lighter and smaller in the distance.
    const std::array<Rgb, 3> shade = {hex(0x7fb08a), hex(0x3f7d55), hex(0x1d4a33)};
    const std::array<double, 3> base = {0.80, 0.92, 1.08};
    const std::array<double, 3> tall = {0.42, 0.55, 0.72};
    const double px = x * aspect;
    for (std::size_t row = 0; row < shade.size(); ++row) {
        Lcg rng(11 + static_cast<std::uint32_t>(row) * 7);
        double cover = 0;
        const double spacing = 0.22 + 0.08 * row;
        for (double tx = -0.2; tx < aspect + 0.2; tx += spacing) {
            const double cx = tx + rng.range(-0.06, 0.06);
            const double h = tall[row] * rng.range(0.7, 1.1);
            const double top = base[row] - h;
            if (y < top || std::abs(px - cx) > 0.3) {
                continue;
            }
            // Jagged silhouette: the half-width grows downwards in three tiers.
            const double t = (y - top) / h;
            const double tier = std::fmod(t * 3, 1.0);
            const double half = h * 0.22 * (0.35 * t + 0.65 * tier * (0.4 + 0.6 * t));
            cover = std::max(cover, smoothstep(half + 0.004, half - 0.004, std::abs(px - cx)));
            // Trunk.
            if (t > 0.95 || std::abs(px - cx) < 0.006) {
                cover = std::max(cover, smoothstep(0.008, 0.004, std::abs(px - cx)));
            }
        }
        c = mix(c, shade[row], cover);
    }
    return c;
}

Rgb dusk(double x, double y, double aspect) {
    Rgb c = ramp({hex(0x0d1030), hex(0x23225a), hex(0x51397a), hex(0x9a5c8a)}, y);
    const double px = x * aspect;
    Lcg rng(2024);
    for (int i = 0; i < 90; ++i) {
        const double sx = rng.range(0, aspect), sy = rng.range(0, 0.8);
        const double bright = rng.range(0.3, 1.0);
        const double d2 = (px - sx) * (px - sx) + (y - sy) * (y - sy);
        c = mix(c, hex(0xfff8e6), bright * (1 - sy) * std::exp(-d2 / 0.00015));
    }
    // A crescent: a disc with a second disc taken away.
    const double mx = 0.16 * aspect, my = 0.36;
    const double d1 = std::hypot(px - mx, y - my);
    const double d2 = std::hypot(px - mx - 0.07, y - my + 0.05);
    const double moon = smoothstep(0.205, 0.195, d1) * smoothstep(0.175, 0.185, d2);
    c = mix(c, hex(0xfff2c8), 0.25 * std::exp(-d1 * d1 * 18)); // halo
    c = mix(c, hex(0xfff2c8), moon);
    // Distant hills along the bottom.
    const double hill = 0.88 + 0.05 * std::sin(px * 5) + 0.03 * std::sin(px * 13 + 1);
    c = mix(c, hex(0x15122e), smoothstep(hill - 0.01, hill + 0.01, y));
    return c;
}

Rgb stripes(double x, double y, double aspect) {
    const std::array<Rgb, 5> pastel = {hex(0xf4a7b4), hex(0xfbd38a), hex(0xaedfa4), hex(0x9fd0ea),
                                       hex(0xc6aee8)};
    const double u = (x * aspect + y * 0.8) / 0.3; // slanting bands
    const double band = std::floor(u);
    const double f = u - band;
    const auto i = static_cast<std::size_t>(static_cast<long>(band) % 5 + 5) % 5;
    const Rgb here = pastel[i];
    const Rgb next = pastel[(i + 1) % 5];
    Rgb c = mix(here, next, smoothstep(0.92, 1.0, f));
    // A thin white rule between bands and a soft top highlight, like a raised bar.
    c = mix(c, hex(0xffffff), 0.6 * smoothstep(0.06, 0.0, std::min(f, 1 - f)));
    c = mix(c, hex(0xffffff), 0.35 * smoothstep(0.35, 0.0, y));
    c = mix(c, hex(0x6a6a80), 0.18 * smoothstep(0.7, 1.0, y));
    return c;
}

Rgb meadow(double x, double y, double aspect) {
    const double px = x * aspect;
    Rgb c = ramp({hex(0x7ec4ee), hex(0xb5defa), hex(0xe8f6ff)}, y / 0.7);
    // Clouds: soft clusters of blobs.
    Lcg clouds(99);
    for (int i = 0; i < 5; ++i) {
        const double cx = clouds.range(0.2, aspect - 0.2), cy = clouds.range(0.15, 0.35);
        double cover = 0;
        for (int k = -2; k <= 2; ++k) {
            const double r = 0.09 - 0.02 * std::abs(k);
            const double d = std::hypot(px - cx - k * 0.07, (y - cy + 0.02 * (2 - std::abs(k))));
            cover = std::max(cover, smoothstep(r + 0.015, r - 0.015, d));
        }
        c = mix(c, hex(0xffffff), 0.9 * cover);
    }
    // Two hills; the nearer one is dotted with flowers.
    const double far = 0.62 + 0.08 * std::sin(px * 2.2 + 0.5) + 0.03 * std::sin(px * 7);
    c = mix(c, hex(0x8cc36a), smoothstep(far - 0.01, far + 0.01, y));
    const double near = 0.76 + 0.07 * std::sin(px * 1.6 + 2) + 0.02 * std::sin(px * 9 + 1);
    const double onNear = smoothstep(near - 0.01, near + 0.01, y);
    c = mix(c, mix(hex(0x5aa447), hex(0x3f8a38), clamp01((y - near) * 4)), onNear);
    Lcg flowers(7);
    const std::array<Rgb, 3> petal = {hex(0xffffff), hex(0xffe066), hex(0xf7a1c4)};
    for (int i = 0; i < 140; ++i) {
        const double fx = flowers.range(0, aspect), fy = flowers.range(0.78, 1.0);
        const Rgb col = petal[static_cast<std::size_t>(i % 3)];
        const double d = std::hypot(px - fx, y - fy);
        c = mix(c, col, onNear * smoothstep(0.016, 0.008, d));
    }
    return c;
}

// ---------------------------------------------------------------------------------------------
// The icon: a feather quill laid over a toolbar strip that shows a sunset skin. Coordinates
// are in [0,1] x [0,1], y downwards; `px` is the size of one pixel, so that the thin strokes
// stay at least about a pixel wide in the small images.

struct Vec {
    double x, y;
};

double roundRectDistance(Vec p, Vec lo, Vec hi, double radius) {
    const double cx = (lo.x + hi.x) / 2, cy = (lo.y + hi.y) / 2;
    const double hx = (hi.x - lo.x) / 2 - radius, hy = (hi.y - lo.y) / 2 - radius;
    const double qx = std::abs(p.x - cx) - hx, qy = std::abs(p.y - cy) - hy;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
           radius;
}

// The quill's axis runs from the nib (u = 0) to the tip of the feather (u = 1).
struct Quill {
    Vec nib{0.17, 0.90};
    Vec tip{0.86, 0.08};

    // Position along the axis and signed distance across it, both in icon units.
    void local(Vec p, double& u, double& v) const {
        const double dx = tip.x - nib.x, dy = tip.y - nib.y;
        const double len = std::hypot(dx, dy);
        u = ((p.x - nib.x) * dx + (p.y - nib.y) * dy) / (len * len);
        v = ((p.x - nib.x) * -dy + (p.y - nib.y) * dx) / len;
    }
    // Half-width of the vane at u; zero along the bare shaft near the nib.
    static double halfWidth(double u, bool leftSide) {
        const double start = 0.30;
        if (u <= start || u >= 1) {
            return 0;
        }
        const double t = (u - start) / (1 - start);
        const double w = (leftSide ? 0.15 : 0.12) * std::pow(t, 0.45) * std::pow(1 - t, 0.75);
        return w * 1.55;
    }
};

Rgba iconSample(Vec p, double px) {
    Rgba out;
    const double edge = std::max(0.012, 1.1 * px);

    // Toolbar strip showing a skin: a sunset behind a dark frame.
    const Vec lo{0.05, 0.50}, hi{0.95, 0.84};
    const double d = roundRectDistance(p, lo, hi, 0.09);
    if (d < 0) {
        Rgb skin = ramp({hex(0x8e3b73), hex(0xe8676b), hex(0xfdb55f)}, (p.y - lo.y) / 0.34);
        const double sun = std::hypot(p.x - 0.30, p.y - 0.78);
        skin = mix(skin, hex(0xfff1c4), smoothstep(0.12, 0.11 - px, sun));
        skin = mix(skin, hex(0xffffff), 0.25 * smoothstep(0.62, 0.52, p.y)); // gloss
        over(out, skin, 1);
        over(out, hex(0x2b1d47), smoothstep(-edge - px, -edge, d)); // frame
    }
    // Soft drop shadow of the strip.
    if (d >= 0) {
        over(out, hex(0x000000),
             0.25 *
                 smoothstep(0.05, 0.0, roundRectDistance({p.x - 0.015, p.y - 0.03}, lo, hi, 0.09)));
    }

    const Quill quill;
    double u = 0, v = 0;
    // Shadow of the quill on the strip.
    quill.local({p.x - 0.025, p.y - 0.03}, u, v);
    if (d < 0 && std::abs(v) < Quill::halfWidth(u, v > 0)) {
        over(out, hex(0x000000), 0.30);
    }

    quill.local(p, u, v);
    const bool left = v > 0;
    const double w = Quill::halfWidth(u, left);
    const double shaftWidth = std::max(0.012, 0.55 * px);
    const double outline = std::max(0.014, 0.9 * px);
    // Outline, then the vane with a darker trailing side and barbs.
    if (w > 0 && std::abs(v) < w + outline) {
        over(out, hex(0x123a2c), 1);
    }
    if (w > 0 && std::abs(v) < w) {
        const double across = std::abs(v) / w;
        Rgb vane = left ? mix(hex(0x8fe3a8), hex(0x3fae6a), across)
                        : mix(hex(0x46b878), hex(0x1f7a4a), across);
        // Barbs: faint lines slanting towards the tip, only where there is room for them.
        if (px < 0.03) {
            const double barb = std::fmod(u * 26 - std::abs(v) * 30 + 100, 1.0);
            vane = mix(vane, hex(0x176b3e), 0.35 * smoothstep(0.12, 0.0, std::min(barb, 1 - barb)));
        }
        // A split in the vane, as on a real feather: a dark cut slanting towards the tip.
        const double split = 0.50 + 0.10 * across;
        if (left && px < 0.03 && across > 0.3 && std::abs(u - split) < std::max(0.006, px)) {
            vane = hex(0x123a2c);
        }
        over(out, vane, 1);
    }
    // Shaft, from the nib to near the tip.
    if (u > -0.01 && u < 0.97 && std::abs(v) < shaftWidth + outline && w == 0) {
        over(out, hex(0x123a2c), 1);
    }
    if (u > 0 && u < 0.96 && std::abs(v) < shaftWidth) {
        over(out, u < 0.08 ? hex(0x2b2b3a) : hex(0xfdf6df), 1); // the nib is dark
    }
    return out;
}

std::vector<Rgba> renderIcon(int size) {
    constexpr int ss = 8;
    const double px = 1.0 / size;
    std::vector<Rgba> pixels(static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgba sum;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgba s =
                        iconSample({(x + (sx + 0.5) / ss) * px, (y + (sy + 0.5) / ss) * px}, px);
                    sum.r += s.r;
                    sum.g += s.g;
                    sum.b += s.b;
                    sum.a += s.a;
                }
            }
            constexpr double n = ss * ss;
            pixels[static_cast<std::size_t>(y * size + x)] = {sum.r / n, sum.g / n, sum.b / n,
                                                              sum.a / n};
        }
    }
    return pixels;
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path root = argc > 1 ? argv[1] : ".";
    const auto samples = root / "samples";
    const auto icons = root / "resources" / "icons";
    std::filesystem::create_directories(samples);
    std::filesystem::create_directories(icons);

    struct Sample {
        const char* name;
        int width, height;
        Skin skin;
    };
    // Varied sizes; 450 and 518 are not multiples of four, so those files carry row padding.
    const std::vector<Sample> skins = {
        {"sunset.bmp", 600, 80, sunset},   {"ocean.bmp", 640, 72, ocean},
        {"forest.bmp", 450, 80, forest},   {"dusk.bmp", 600, 64, dusk},
        {"stripes.bmp", 480, 60, stripes}, {"MEADOW.BMP", 518, 70, meadow},
    };
    bool ok = true;
    for (const Sample& s : skins) {
        ok = writeFile(samples / s.name,
                       encodeBmp(s.width, s.height, renderSkin(s.width, s.height, s.skin))) &&
             ok;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const auto name = "quillarbor-" + std::to_string(size) + ".png";
        ok = writeFile(icons / name, encodePng(size, renderIcon(size))) && ok;
    }
    // The Windows program icon: 16 and 32 pixels in 16 and in 256 colours, and the sizes that
    // 150 % and 200 % scaling ask for (24, 48, 64) in 256 colours, so that no image is a smaller
    // one scaled up.
    std::vector<IconImage> images;
    for (int size : {16, 24, 32, 48, 64}) {
        const std::vector<Rgba> pixels = renderIcon(size);
        for (int bits : {4, 8}) {
            if (bits == 8 || size == 16 || size == 32) {
                images.push_back({size, bits, encodeIconImage(size, bits, pixels)});
            }
        }
    }
    ok = writeFile(root / "resources" / "quillarbor.ico", encodeIco(images)) && ok;
    return ok ? 0 : 1;
}

// The demo's pictures: makes the sample scene (a bright sky over a dark foreground, the
// kind of image an HDR program is for) and turns documents into PNG previews and a
// side-by-side picture.
//
//   demo-scene make --depth 16|32 OUT          writes a 16-bit PPM or a PFM
//   demo-scene preview IN OUT.png              8-bit preview of a PPM/PGM/PFM
//   demo-scene side-by-side BEFORE AFTER OUT.png
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 540;

// Linear scene radiance, in units where 1.0 is a bright but ordinary sky.
struct Radiance {
    float r, g, b;
};

float Smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Height of the hills' silhouette (as a fraction of the picture from the top) at x.
float HillLine(float x) {
    return 0.62f + 0.06f * std::sin(x * 7.0f + 0.5f) + 0.035f * std::sin(x * 19.0f + 1.3f) +
           0.012f * std::sin(x * 53.0f);
}

Radiance SceneAt(int column, int row) {
    const float x = static_cast<float>(column) / kWidth;
    const float y = static_cast<float>(row) / kHeight;
    const float horizon = HillLine(x);
    if (y < horizon) {
        // Sky: deep blue at the top, bright haze at the horizon, a sun with a wide glow
        // and a few thin clouds lit from behind.
        const float h = y / horizon;
        Radiance sky{0.25f + 0.9f * h * h, 0.42f + 0.75f * h * h, 0.95f + 0.2f * h};
        const float dx = (x - 0.68f) * 1.78f;
        const float dy = y - 0.36f;
        const float distance = std::sqrt(dx * dx + dy * dy);
        const float glow = 0.9f * std::exp(-distance * 9.0f) + 6.0f * std::exp(-distance * 60.0f);
        const float disc = distance < 0.035f ? 40.0f : 0.0f;
        const float cloud =
            Smooth(0.55f, 0.9f, std::sin(x * 23.0f + std::sin(y * 31.0f) * 2.0f) * 0.5f + 0.5f) *
            Smooth(0.08f, 0.0f, std::fabs(y - 0.22f - 0.05f * std::sin(x * 5.0f)));
        const float lit = 1.0f + 2.5f * glow;
        return {sky.r + glow * 1.0f + disc + cloud * 0.9f * lit,
                sky.g + glow * 0.8f + disc + cloud * 0.8f * lit,
                sky.b + glow * 0.5f + disc + cloud * 0.7f * lit};
    }
    // Foreground: dark hills and a meadow, detail only a tone curve will bring out.
    const float depth = (y - horizon) / (1.0f - horizon);
    const float texture = 0.5f + 0.5f * std::sin(column * 0.37f + std::sin(row * 0.11f) * 3.0f) *
                                     std::sin(row * 0.29f + column * 0.05f);
    const float path = Smooth(0.06f, 0.0f, std::fabs(x - 0.35f - 0.25f * depth * depth));
    const float rim = Smooth(0.03f, 0.0f, y - horizon) * 0.05f;
    const float base = 0.012f + 0.018f * texture + 0.02f * path;
    return {base * 0.8f + rim, base * 1.1f + rim * 0.8f, base * 0.6f + rim * 0.5f};
}

bool WritePpm16(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << kWidth << " " << kHeight << "\n65535\n";
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const Radiance c = SceneAt(column, row);
            for (float v : {c.r, c.g, c.b}) {
                // A camera-like encoding: the sky fills the upper range, the sun clips.
                const float encoded = std::pow(std::clamp(v / 3.0f, 0.0f, 1.0f), 1.0f / 1.8f);
                const auto sample = static_cast<std::uint16_t>(std::lround(encoded * 65535.0f));
                out.put(static_cast<char>(sample >> 8)).put(static_cast<char>(sample & 0xFF));
            }
        }
    }
    return static_cast<bool>(out);
}

bool WritePfm(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "PF\n" << kWidth << " " << kHeight << "\n-1.0\n";
    for (int row = kHeight - 1; row >= 0; --row) { // PFM stores the bottom row first
        for (int column = 0; column < kWidth; ++column) {
            const Radiance c = SceneAt(column, row);
            for (float v : {c.r, c.g, c.b})
                out.write(reinterpret_cast<const char*>(&v), sizeof v);
        }
    }
    return static_cast<bool>(out);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 8-bit preview samples
};

std::string Token(std::istream& in) {
    std::string token;
    in >> token;
    while (!token.empty() && token[0] == '#') {
        std::string rest;
        std::getline(in, rest);
        in >> token;
    }
    return token;
}

// Reads the project's own outputs: P5/P6 of any maxval and PF/Pf. Floats are linear and
// get a display gamma; integer files are shown as they are.
bool ReadPicture(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    const std::string magic = Token(in);
    const bool isFloat = magic == "PF" || magic == "Pf";
    const bool gray = magic == "P5" || magic == "Pf";
    if (!isFloat && magic != "P5" && magic != "P6")
        return false;
    picture.width = std::stoi(Token(in));
    picture.height = std::stoi(Token(in));
    const double scale = std::stod(Token(in));
    in.get();
    const int channels = gray ? 1 : 3;
    const int bytes = isFloat ? 4 : (scale > 255 ? 2 : 1);
    std::vector<unsigned char> raw(static_cast<std::size_t>(picture.width) * picture.height *
                                   channels * bytes);
    if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size())))
        return false;
    picture.rgb.assign(static_cast<std::size_t>(picture.width) * picture.height * 3, 0);
    for (int row = 0; row < picture.height; ++row) {
        const int sourceRow = isFloat ? picture.height - 1 - row : row;
        for (int column = 0; column < picture.width; ++column) {
            for (int c = 0; c < 3; ++c) {
                const std::size_t index =
                    (static_cast<std::size_t>(sourceRow) * picture.width + column) * channels +
                    (gray ? 0 : c);
                double v = 0;
                if (isFloat) {
                    float f = 0;
                    std::memcpy(&f, &raw[index * 4], 4);
                    v = std::pow(std::clamp(static_cast<double>(f), 0.0, 1.0), 1.0 / 2.2);
                } else if (bytes == 2) {
                    v = (raw[index * 2] << 8 | raw[index * 2 + 1]) / scale;
                } else {
                    v = raw[index] / scale;
                }
                picture.rgb[(static_cast<std::size_t>(row) * picture.width + column) * 3 + c] =
                    static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
            }
        }
    }
    return true;
}

bool WritePng(const std::string& path, const Picture& picture) {
    return stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                          picture.width * 3) != 0;
}

Picture SideBySide(const Picture& left, const Picture& right) {
    constexpr int kGap = 12;
    Picture both;
    both.width = left.width + kGap + right.width;
    both.height = std::max(left.height, right.height);
    both.rgb.assign(static_cast<std::size_t>(both.width) * both.height * 3, 255);
    auto place = [&both](const Picture& part, int offset) {
        for (int row = 0; row < part.height; ++row)
            std::memcpy(&both.rgb[(static_cast<std::size_t>(row) * both.width + offset) * 3],
                        &part.rgb[static_cast<std::size_t>(row) * part.width * 3],
                        static_cast<std::size_t>(part.width) * 3);
    };
    place(left, 0);
    place(right, left.width + kGap);
    return both;
}

int Fail(const std::string& message) {
    std::cerr << "demo-scene: " << message << "\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "make" && args[1] == "--depth") {
        if (args[2] == "16")
            return WritePpm16(args[3]) ? 0 : Fail("cannot write " + args[3]);
        if (args[2] == "32")
            return WritePfm(args[3]) ? 0 : Fail("cannot write " + args[3]);
        return Fail("depth must be 16 or 32");
    }
    if (args.size() == 3 && args[0] == "preview") {
        Picture picture;
        if (!ReadPicture(args[1], picture))
            return Fail("cannot read " + args[1]);
        return WritePng(args[2], picture) ? 0 : Fail("cannot write " + args[2]);
    }
    if (args.size() == 4 && args[0] == "side-by-side") {
        Picture before, after;
        if (!ReadPicture(args[1], before) || !ReadPicture(args[2], after))
            return Fail("cannot read the pictures");
        return WritePng(args[3], SideBySide(before, after)) ? 0 : Fail("cannot write " + args[3]);
    }
    std::cerr << "usage: demo-scene make --depth 16|32 OUT\n"
                 "       demo-scene preview IN OUT.png\n"
                 "       demo-scene side-by-side BEFORE AFTER OUT.png\n";
    return 2;
}

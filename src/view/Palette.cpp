#include "view/Palette.h"

#include "db/ResourceSettings.h"

namespace {

constexpr Rgb kFallback[16] = {
    {0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {0, 255, 0},     {0, 0, 255}, {255, 255, 0},
    {0, 255, 255}, {255, 0, 255},   {128, 128, 128}, {192, 192, 192}, {128, 0, 0}, {0, 128, 0},
    {0, 0, 128},   {128, 128, 0},   {0, 128, 128},   {128, 0, 128},
};

// Dark enough to be seen on white paper.
constexpr Rgb kPens[8] = {
    {0, 0, 0},     {220, 0, 0},   {0, 150, 0},   {0, 0, 220},
    {200, 0, 200}, {0, 140, 140}, {230, 120, 0}, {120, 70, 20},
};

constexpr Rgb kNoPen{128, 128, 128};

}  // namespace

Rgb fallbackColour(int index) {
    return index < 0 ? kFallback[0] : kFallback[index % 16];
}

Rgb settingsColour(const DatabaseSettings* settings, int index) {
    if (settings == nullptr || !settings->colorDefined(index)) return fallbackColour(index);
    const SettingsColor c = settings->color(index);
    auto channel = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return {channel(c.red), channel(c.green), channel(c.blue)};
}

Rgb penColour(int pen) {
    return pen < 1 ? kNoPen : kPens[(pen - 1) % 8];
}

void appendColour(std::string& out, Rgb colour) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '#';
    for (std::uint8_t v : {colour.red, colour.green, colour.blue}) {
        out += kHex[v >> 4];
        out += kHex[v & 15];
    }
}

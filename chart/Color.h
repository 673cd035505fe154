#pragma once
// Chart colours: TColor values in BGR order (0x0000FF is red, 0xFF0000 is blue).
#include <cstdint>

namespace korvex {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// "No colour of its own": a point added with it takes the series colour.
inline constexpr TColor clTeeColor = 0x20000000;

constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFFu); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFFu); }
constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace korvex

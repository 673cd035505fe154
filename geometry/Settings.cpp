#include "geometry/Settings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace korvex {

TSettings Settings;

TSlotCodes ClassifySlots(bool inUse1, bool inUse2) {
  int32_t c = 0;
  if (inUse1 && inUse2) {
    c = 2;
  } else if (inUse2) {
    c = 1;
  }
  return {c, c, c == 2 ? SlotBeside2 : c};
}

void SetDerivedValues(TSettings& settings, double latticeA1, int32_t pair) {
  settings.TwoK = WavelengthValid(settings.Lambda) ? 2 / settings.Lambda : 0;
  if (!(latticeA1 > 0) || !std::isfinite(latticeA1)) return;
  settings.RealExtent = std::fabs(static_cast<double>(settings.NReal)) * latticeA1;
  settings.NodeRadius = (pair == 2 ? 0.1 : 0.2) / latticeA1;
}

bool WavelengthValid(double lambda) { return std::isfinite(lambda) && lambda > 1e-10; }

std::string WavelengthMessage(double lambda) {
  return "The wavelength must be a positive number of angstroms (above 1e-10); " +
         FormatNumber(lambda) + " cannot be used.";
}

namespace {

bool ParseWithPoint(std::string_view text, double& value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return false;
  }
  if (text.empty()) return false;
  double v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace

double ParseNumber(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  double value = 0;
  if (ParseWithPoint(text, value)) return value;
  // The other decimal separator: a comma stands for the point.
  if (text.find('.') != std::string_view::npos) return 0;
  std::string swapped(text);
  for (char& c : swapped) {
    if (c == ',') c = '.';
  }
  if (ParseWithPoint(swapped, value)) return value;
  return 0;
}

std::string FormatNumber(double value) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) value = 0;  // no "-0"
  char buffer[64];
  const auto [ptr, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  return std::string(buffer, ptr);
}

}  // namespace korvex

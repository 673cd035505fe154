#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvex {

// The directory the program reads its scattering tables and structure files from:
// <directory of the running executable>/Base/ unless overridden.
std::filesystem::path DataDirectory();

// Overrides the data directory (tests point it at fixture files). An empty path restores the
// default. Either way the parsed files held in memory are dropped.
void SetDataDirectory(const std::filesystem::path& directory);

// Full path of a file in the data directory, with the platform's separators.
std::string DataFilePath(std::string_view fileName);

}  // namespace korvex

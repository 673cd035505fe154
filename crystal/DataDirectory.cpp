#include "crystal/DataDirectory.h"

#include <mutex>
#include <system_error>

#include "crystal/DataFiles.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvex {
namespace {

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD length =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  buffer.resize(length);
  return std::filesystem::path(buffer).parent_path();
#else
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path();
#endif
}

std::mutex directoryMutex;
std::filesystem::path overrideDirectory;

const std::filesystem::path& DefaultDirectory() {
  static const std::filesystem::path directory = ExecutableDirectory() / "Base";
  return directory;
}

}  // namespace

std::filesystem::path DataDirectory() {
  std::lock_guard lock(directoryMutex);
  return overrideDirectory.empty() ? DefaultDirectory() : overrideDirectory;
}

void SetDataDirectory(const std::filesystem::path& directory) {
  {
    std::lock_guard lock(directoryMutex);
    overrideDirectory = directory;
  }
  ClearDataCache();
}

std::string DataFilePath(std::string_view fileName) {
  return (DataDirectory() / std::filesystem::path(fileName)).make_preferred().string();
}

}  // namespace korvex

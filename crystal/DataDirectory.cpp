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

struct Directory {
  std::mutex mutex;
  std::filesystem::path path;
  std::string prefix;  // path with the platform's separators and a closing separator
};

Directory& Current() {
  static Directory directory;
  return directory;
}

std::string PrefixOf(std::filesystem::path path) {
  std::string prefix = path.make_preferred().string();
  if (!prefix.empty() && prefix.back() != std::filesystem::path::preferred_separator) {
    prefix += static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return prefix;
}

}  // namespace

std::filesystem::path DataDirectory() {
  Directory& d = Current();
  std::lock_guard lock(d.mutex);
  if (d.path.empty()) d.path = ExecutableDirectory() / "Base";
  return d.path;
}

void SetDataDirectory(const std::filesystem::path& directory) {
  Directory& d = Current();
  {
    std::lock_guard lock(d.mutex);
    d.path = directory;  // empty: the default, found again on the next use
    d.prefix.clear();
  }
  ClearDataCache();
}

std::string DataFilePath(std::string_view fileName) {
  Directory& d = Current();
  std::lock_guard lock(d.mutex);
  if (d.prefix.empty()) {
    if (d.path.empty()) d.path = ExecutableDirectory() / "Base";
    d.prefix = PrefixOf(d.path);
  }
  std::string path = d.prefix;
  path += fileName;
  return path;
}

}  // namespace korvex

#include "crystal/DataFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <sstream>
#include <system_error>

#include "crystal/DataDirectory.h"

namespace korvex {
namespace {

// Files larger than this are not data files of the program.
constexpr std::uintmax_t MaxDataFileSize = 256u * 1024u * 1024u;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A cursor over file contents. Reads numbers like the C formatted readers do ("%d", "%lf":
// leading whitespace skipped), but independent of the process locale and never beyond the end.
class Scanner {
 public:
  explicit Scanner(std::string_view text, std::size_t position = 0)
      : text_(text), pos_(position < text.size() ? position : text.size()) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  std::size_t Position() const { return pos_; }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(text_[pos_])) ++pos_;
  }

  // Skips space and one leading '+', leaving p at the first character of the number; false
  // for "+-", which from_chars would otherwise read as a negative number.
  bool NumberStart(std::size_t& p) {
    SkipSpace();
    p = pos_;
    if (p < text_.size() && text_[p] == '+') {
      ++p;
      if (p < text_.size() && text_[p] == '-') return false;
    }
    return true;
  }

  // Reads a finite number; on failure the position is unchanged.
  bool ReadDouble(double& value) {
    const std::size_t start = pos_;
    std::size_t p = 0;
    if (!NumberStart(p)) return Fail(start);
    double v = 0.0;
    const char* first = text_.data() + p;
    const char* last = text_.data() + text_.size();
    const auto [end, error] = std::from_chars(first, last, v);
    if (error != std::errc() || !std::isfinite(v)) return Fail(start);
    pos_ = static_cast<std::size_t>(end - text_.data());
    value = v;
    return true;
  }

  bool ReadInt(long long& value) {
    const std::size_t start = pos_;
    std::size_t p = 0;
    if (!NumberStart(p)) return Fail(start);
    long long v = 0;
    const auto [end, error] = std::from_chars(text_.data() + p, text_.data() + text_.size(), v);
    if (error != std::errc()) return Fail(start);
    pos_ = static_cast<std::size_t>(end - text_.data());
    value = v;
    return true;
  }

  // Optional whitespace, then the character c.
  bool Expect(char c) {
    const std::size_t start = pos_;
    SkipSpace();
    if (Peek() != c) return Fail(start);
    ++pos_;
    return true;
  }

  // Literal text with the rule of the C readers: a blank in the pattern matches any run of
  // whitespace (also none); other characters must match exactly.
  bool ExpectLiteral(std::string_view pattern) {
    const std::size_t start = pos_;
    for (const char c : pattern) {
      if (IsSpace(c)) {
        SkipSpace();
      } else if (Peek() == c && !AtEnd()) {
        ++pos_;
      } else {
        return Fail(start);
      }
    }
    return true;
  }

  // Skips past the next occurrence of c; false at the end of the text.
  bool SkipPast(char c) {
    while (!AtEnd()) {
      if (text_[pos_++] == c) return true;
    }
    return false;
  }

  bool Get(char& c) {
    if (AtEnd()) return false;
    c = text_[pos_++];
    return true;
  }

  // The rest of the current line (whatever its length) without its line end, which is consumed.
  std::string_view ReadLine() {
    const std::size_t start = pos_;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    pos_ = end < text_.size() ? end + 1 : end;
    std::string_view line = text_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  bool Fail(std::size_t start) {
    pos_ = start;
    return false;
  }

  std::string_view text_;
  std::size_t pos_;
};

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

bool EndsSymbol(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The header "#S  nn  Sy" of an entry of either scattering table.
struct EntryHeader {
  std::string Key;       // symbol the entry belongs to
  std::size_t Data = 0;  // position right after the symbol field
};

// All entry headers in the order a search from the start of the file meets them, up to and
// including the one of Cf, after which no search continues.
std::vector<EntryHeader> FindEntryHeaders(std::string_view text) {
  std::vector<EntryHeader> headers;
  Scanner in(text);
  for (;;) {
    if (!in.SkipPast('#')) break;
    char c = 0;
    if (!in.Get(c)) break;
    if (c != 'S') continue;
    // "%*4c %2c": four characters skipped, blanks skipped, two characters taken.
    for (int i = 0; i < 4; ++i) {
      if (!in.Get(c)) return headers;
    }
    in.SkipSpace();
    char field[2] = {0, 0};
    if (!in.Get(field[0]) || !in.Get(field[1])) break;
    EntryHeader header;
    header.Key = EndsSymbol(field[1]) ? std::string(1, field[0]) : std::string(field, 2);
    header.Data = in.Position();
    const bool last = header.Key == "Cf";
    headers.push_back(std::move(header));
    if (last) break;
  }
  return headers;
}

std::optional<WaasmaierKirfel> ParseF0Entry(std::string_view text, std::size_t position) {
  Scanner in(text, position);
  // The data line is the ninth header line after "#S"; its '#' is the ninth one that follows.
  for (int i = 0; i < 9; ++i) {
    if (!in.SkipPast('#')) return std::nullopt;
  }
  if (!in.ExpectLiteral("UP MPFIT guess (Waasmaier&Kirfel) data: ")) return std::nullopt;
  std::array<double, 11> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!in.ReadDouble(values[i])) return std::nullopt;
    if (i + 1 < values.size() && !in.Expect(',')) return std::nullopt;
  }
  WaasmaierKirfel wk;
  for (int i = 0; i < 5; ++i) {
    wk.A[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(i)];
    wk.B[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(6 + i)];
  }
  wk.C = values[5];
  return wk;
}

F1F2Entry ParseF1F2Entry(std::string_view text, std::size_t position) {
  F1F2Entry entry;
  Scanner in(text, position);
  in.ReadLine();  // rest of the "#S" line
  // Comment and empty lines, then the line of the first row. The next entry's "#S" line ends an
  // entry that has no rows (it is not taken for a comment).
  std::string_view first;
  bool found = false;
  while (!in.AtEnd()) {
    const std::string_view line = in.ReadLine();
    if (line.size() >= 2 && line[0] == '#' && line[1] == 'S') return entry;
    if (IsBlankLine(line) || line[0] == '#') continue;
    first = line;
    found = true;
    break;
  }
  if (!found) return entry;
  F1F2Row row;
  Scanner line(first);
  if (!line.ReadDouble(row.Energy) || !line.ReadDouble(row.F1) || !line.ReadDouble(row.F2)) {
    return entry;
  }
  entry.Rows.push_back(row);
  entry.EndsAtEndOfFile = in.AtEnd();
  // Later rows: a stream of numbers, three to a row, up to the first that cannot be read.
  for (;;) {
    if (!in.ReadDouble(row.Energy) || !in.ReadDouble(row.F1) || !in.ReadDouble(row.F2)) break;
    entry.Rows.push_back(row);
    entry.EndsAtEndOfFile = in.AtEnd();
  }
  entry.RepeatedRow = entry.Rows.size();
  entry.Increasing = true;
  for (std::size_t i = 1; i < entry.Rows.size(); ++i) {
    if (entry.Rows[i].Energy == entry.Rows[i - 1].Energy) {
      entry.RepeatedRow = i;
      break;
    }
    if (entry.Rows[i].Energy < entry.Rows[i - 1].Energy) entry.Increasing = false;
  }
  return entry;
}

ElementBlock ParseBlock(std::string_view text, std::size_t position, const std::string& key) {
  ElementBlock block;
  Scanner in(text, position);
  long long count = 0;
  if (!in.ReadInt(count)) {
    block.Problem = "the block of " + key + " has no atom count";
    return block;
  }
  if (count < 0 || count > MaxAtomsPerBlock) {
    block.Problem = "the block of " + key + " has " + std::to_string(count) + " atoms (0 to " +
                    std::to_string(MaxAtomsPerBlock) + " allowed)";
    return block;
  }
  for (long long i = 0; i < count; ++i) {
    AtomPosition p;
    if (!in.ReadDouble(p.X) || !in.Expect(',') || !in.ReadDouble(p.Y) || !in.Expect(',') ||
        !in.ReadDouble(p.Z)) {
      block.Problem = "the block of " + key + " breaks off after " + std::to_string(i) + " of " +
                      std::to_string(count) + " atom positions";
      block.Positions.clear();
      return block;
    }
    block.Positions.push_back(p);
  }
  return block;
}

bool LooksLikeSymbol(std::string_view key) {
  if (key.empty() || key.size() > 2 || key[0] < 'A' || key[0] > 'Z') return false;
  return key.size() == 1 || (key[1] >= 'a' && key[1] <= 'z');
}

// Reads a whole file; false if it cannot be opened.
bool ReadFile(const std::string& path, std::string& contents) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > MaxDataFileSize) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream buffer;
  buffer << file.rdbuf();
  contents = std::move(buffer).str();
  return true;
}

// Parsed files of the data directory by file name.
template <typename T>
class FileCache {
 public:
  template <typename Parse>
  std::shared_ptr<const T> Get(const std::string& name, Parse parse) {
    std::uint64_t generation = 0;
    {
      std::lock_guard lock(mutex_);
      const auto it = files_.find(name);
      if (it != files_.end()) return it->second;
      generation = generation_;
    }
    std::string contents;
    if (!ReadFile(DataFilePath(name), contents)) return nullptr;
    auto parsed = std::make_shared<const T>(parse(contents));
    std::lock_guard lock(mutex_);
    if (generation != generation_) return parsed;  // the directory changed meanwhile
    return files_.emplace(name, std::move(parsed)).first->second;
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    files_.clear();
    ++generation_;
  }

 private:
  std::mutex mutex_;
  std::uint64_t generation_ = 0;
  std::unordered_map<std::string, std::shared_ptr<const T>> files_;
};

FileCache<F0Table>& F0Cache() {
  static FileCache<F0Table> cache;
  return cache;
}
FileCache<F1F2Table>& F1F2Cache() {
  static FileCache<F1F2Table> cache;
  return cache;
}
FileCache<StructureFile>& StructureCache() {
  static FileCache<StructureFile> cache;
  return cache;
}

}  // namespace

F0Table ParseF0Table(std::string_view text) {
  F0Table table;
  for (const EntryHeader& header : FindEntryHeaders(text)) {
    if (table.Entries.count(header.Key) != 0) continue;  // the first entry of a symbol is used
    table.Entries.emplace(header.Key, ParseF0Entry(text, header.Data));
  }
  return table;
}

F1F2Table ParseF1F2Table(std::string_view text) {
  F1F2Table table;
  for (const EntryHeader& header : FindEntryHeaders(text)) {
    if (table.Entries.count(header.Key) != 0) continue;
    table.Entries.emplace(header.Key, ParseF1F2Entry(text, header.Data));
  }
  return table;
}

StructureFile ParseStructureFile(std::string_view text) {
  StructureFile file;
  Scanner in(text);
  in.ReadLine();  // title
  const std::size_t afterTitle = in.Position();
  long long count = 0;
  if (!in.ReadInt(count)) {
    file.Problem = "the element count line cannot be read";
    return file;
  }
  if (count != 1 && count != 2) {
    file.Problem = "the element count is " + std::to_string(count) + " (1 or 2 allowed)";
    return file;
  }
  long long skipped = 0;
  if (in.Expect(',')) in.ReadInt(skipped);
  double a0 = 0.0;
  double poisson = 0.0;
  if (!in.ReadDouble(a0) || !in.Expect(',') || !in.ReadDouble(poisson)) {
    file.Problem = "the line of lattice parameter and Poisson ratio cannot be read";
    return file;
  }
  if (!(a0 > 0.0)) {
    file.Problem = "the lattice parameter is not positive";
    return file;
  }
  if (!(std::fabs(poisson) < 1.0)) {
    file.Problem = "the Poisson ratio lies outside (-1, 1)";
    return file;
  }
  file.ElementCount = static_cast<std::int32_t>(count);
  file.LatticeParameter = a0;
  file.PoissonRatio = poisson;
  // Element blocks: the first line (after the title) that begins with a symbol starts its block.
  Scanner lines(text, afterTitle);
  while (!lines.AtEnd()) {
    const std::string_view line = lines.ReadLine();
    std::string key;
    if (line.size() >= 2 && !EndsSymbol(line[1])) {
      key = std::string(line.substr(0, 2));
    } else if (!line.empty()) {
      key = std::string(1, line[0]);
    }
    if (!LooksLikeSymbol(key) || file.Blocks.count(key) != 0) continue;
    file.Blocks.emplace(key, ParseBlock(text, lines.Position(), key));
  }
  return file;
}

void InterpolateF1F2(const F1F2Entry& entry, double energy, double& f1, double& f2) {
  const std::vector<F1F2Row>& rows = entry.Rows;
  if (!std::isfinite(energy)) {
    f1 = f2 = 0.0;
    return;
  }
  if (!entry.Increasing || entry.RepeatedRow > rows.size() || rows.empty()) {
    InterpolateF1F2Stepwise(entry, energy, f1, f2);
    return;
  }
  f1 = 0.0;
  f2 = 0.0;
  // The first row after the first one whose energy lies above the given one; the search
  // ends with 0, 0 at a repeated energy.
  const auto end = rows.begin() + static_cast<std::ptrdiff_t>(entry.RepeatedRow);
  const auto above = std::upper_bound(rows.begin() + 1 < end ? rows.begin() + 1 : end, end, energy,
                                      [](double e, const F1F2Row& row) { return e < row.Energy; });
  if (above == end) return;
  const std::size_t j = static_cast<std::size_t>(above - rows.begin());
  if (j + 1 == rows.size() && entry.EndsAtEndOfFile) return;
  const F1F2Row& previous = rows[j - 1];
  const F1F2Row& current = rows[j];
  const double t = (energy - previous.Energy) / (current.Energy - previous.Energy);
  f1 = previous.F1 + t * (current.F1 - previous.F1);
  f2 = previous.F2 + t * (current.F2 - previous.F2);
}

void InterpolateF1F2Stepwise(const F1F2Entry& entry, double energy, double& f1, double& f2) {
  f1 = 0.0;
  f2 = 0.0;
  if (!std::isfinite(energy)) return;
  const std::vector<F1F2Row>& rows = entry.Rows;
  if (rows.empty()) return;
  F1F2Row current = rows[0];
  for (std::size_t next = 1;; ++next) {
    const F1F2Row previous = current;
    bool atEnd = false;
    if (next < rows.size()) {
      current = rows[next];
      atEnd = next + 1 == rows.size() && entry.EndsAtEndOfFile;
    }
    // A failed read leaves the row unchanged, which ends the search here as well.
    if (current.Energy == previous.Energy) return;
    if (current.Energy <= energy) continue;
    if (atEnd) continue;  // the next read fails
    const double t = (energy - previous.Energy) / (current.Energy - previous.Energy);
    f1 = previous.F1 + t * (current.F1 - previous.F1);
    f2 = previous.F2 + t * (current.F2 - previous.F2);
    return;
  }
}

std::shared_ptr<const F0Table> LoadF0Table() {
  return F0Cache().Get(F0FileName, [](const std::string& text) { return ParseF0Table(text); });
}

std::shared_ptr<const F1F2Table> LoadF1F2Table() {
  return F1F2Cache().Get(F1F2FileName,
                         [](const std::string& text) { return ParseF1F2Table(text); });
}

std::shared_ptr<const StructureFile> LoadStructureFile(const std::string& fileName) {
  return StructureCache().Get(fileName,
                              [](const std::string& text) { return ParseStructureFile(text); });
}

void ClearDataCache() {
  F0Cache().Clear();
  F1F2Cache().Clear();
  StructureCache().Clear();
}

std::string SymbolKey(const std::array<char, 2>& symbol) {
  if (symbol[0] == '\0') return {};
  if (symbol[1] == '\0') return std::string(1, symbol[0]);
  return std::string(symbol.data(), 2);
}

}  // namespace korvex

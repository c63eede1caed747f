#pragma once
// Paths the tests use: fixtures, data and a scratch folder per test.

#include <filesystem>
#include <string>

namespace tessera::test {

/// A fixture file under tests/fixtures.
inline std::filesystem::path fixture(const std::string& name) { return std::filesystem::path(TESSERA_FIXTURES) / name; }
/// The corundum document under examples/.
inline std::filesystem::path exampleDocument() { return std::filesystem::path(TESSERA_DATA_DIR) / ".." / "examples" / "corundum.tsr"; }

/// A fresh empty folder for one test, removed when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

/// Reads a whole file as bytes.
std::string readFile(const std::filesystem::path& path);
/// Writes bytes to a file.
void writeFile(const std::filesystem::path& path, const std::string& text);

/// How often what occurs in text (overlapping occurrences counted).
inline int occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace tessera::test

#include "core/program_folders.h"

#include <cstdlib>

namespace tessera {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMarkerFile = "HALL.DAT";

bool holdsData(const fs::path& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_regular_file(folder / kMarkerFile, ec);
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

}  // namespace

fs::path installedDataFolder(const fs::path& programFolder) {
  return (programFolder / ".." / "share" / "tessera").lexically_normal();
}

fs::path userDataFolder(const std::string& xdgDataHome, const std::string& userHome) {
  // A relative XDG_DATA_HOME is invalid and ignored.
  if (!xdgDataHome.empty() && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome) / "tessera";
  if (!userHome.empty()) return fs::path(userHome) / ".local" / "share" / "tessera";
  return {};
}

ProgramFolders chooseProgramFolders(const std::optional<fs::path>& homeGiven, const fs::path& programFolder,
                                    const fs::path& userData) {
  if (homeGiven) return {*homeGiven, *homeGiven, false};
  const fs::path installed = installedDataFolder(programFolder);
  if (holdsData(programFolder) || !holdsData(installed) || userData.empty())
    return {programFolder, programFolder, false};
  return {installed, userData, true};
}

ProgramFolders programFolders(const std::optional<fs::path>& homeGiven, const fs::path& programFolder) {
  ProgramFolders folders =
      chooseProgramFolders(homeGiven, programFolder, userDataFolder(environment("XDG_DATA_HOME"), environment("HOME")));
  if (folders.installed) {
    // A failure shows later, as the message of the file that could not be written.
    std::error_code ec;
    fs::create_directories(folders.userFolder, ec);
  }
  return folders;
}

}  // namespace tessera

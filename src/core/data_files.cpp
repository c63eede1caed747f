#include "core/data_files.h"

#include <algorithm>

#include "core/text.h"

namespace tessera {

namespace fs = std::filesystem;

std::vector<fs::path> dataFolders(const Session& session) {
  std::vector<fs::path> folders;
  auto add = [&folders](const fs::path& folder) {
    if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  };
  add(session.home);
  add(session.programFolder);
  if (!session.programFolder.empty()) add((session.programFolder / ".." / "share" / "tessera").lexically_normal());
  return folders;
}

std::optional<fs::path> findDataFile(const Session& session, std::string_view name) {
  return findDataFile(dataFolders(session), name);
}

std::optional<fs::path> findDataFile(const std::vector<fs::path>& folders, std::string_view name) {
  const std::string wanted(name);
  std::error_code ec;
  for (const fs::path& folder : folders) {
    const fs::path exact = folder / wanted;
    if (fs::is_regular_file(exact, ec)) return exact;
    // A copy whose name differs in case (hall.dat, CIFDIC.SHT) serves as well.
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (equalsIgnoreCase(it->path().filename().string(), wanted) && fs::is_regular_file(it->path(), ec))
        return it->path();
    }
    ec.clear();
  }
  return std::nullopt;
}

}  // namespace tessera

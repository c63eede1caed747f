#pragma once
// Where the data files the program ships (HALL.DAT, cifdic.sht, scatfac.dat) are found.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "core/session.h"

namespace tessera {

/// The folders searched for a data file, in order: the home folder, the program's folder and,
/// for an installed program, <program folder>/../share/tessera. Empty paths are left out.
std::vector<std::filesystem::path> dataFolders(const Session& session);

/// The first file named `name` in the folders; within a folder an exact match comes first,
/// then one that differs only in case. Nothing when no folder holds it.
std::optional<std::filesystem::path> findDataFile(const std::vector<std::filesystem::path>& folders,
                                                  std::string_view name);
/// The data file `name` in the session's data folders.
std::optional<std::filesystem::path> findDataFile(const Session& session, std::string_view name);

}  // namespace tessera

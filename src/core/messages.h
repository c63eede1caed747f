#pragma once
// Messages several subsystems show in the same words.

#include <string>

#include "core/text.h"

namespace tessera {

/// "File open failed: <path>": the file that could not be opened, as the user named it.
inline std::string fileOpenFailedMessage(const std::string& path) { return format("File open failed: %s", path.c_str()); }

}  // namespace tessera

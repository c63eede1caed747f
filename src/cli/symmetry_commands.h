#pragma once
// tessera-cli commands of the space-group engine: sg and identify.

#include <istream>

#include "cli/cli.h"

namespace tessera::cli {

/// `sg [--hall] [--vol A|I] SYMBOL` and `sg --table`.
CliCommand spaceGroupCommand();
/// `identify [--centric] [--lattice P|A|B|C|F|I|R]`: operators from standard input.
CliCommand identifyCommand();

/// The identify command reading its operator lines from `in`.
int runIdentify(CliContext& context, const std::vector<std::string>& args, std::istream& in);

}  // namespace tessera::cli

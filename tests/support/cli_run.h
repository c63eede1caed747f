#pragma once
// Runs tessera-cli in-process with the data folder as its home.

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace tessera::test {

/// Exit code and both output streams of one run.
struct CliRun {
  int code;
  std::string out, err;
};

/// Runs the words as a command line; input is what standard input holds.
inline CliRun runCli(const std::vector<std::string>& args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = cli::runCli(args, in, out, err, TESSERA_DATA_DIR);
  return {code, out.str(), err.str()};
}

}  // namespace tessera::test

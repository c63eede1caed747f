#include <filesystem>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv[0], ec);
  std::vector<std::string> args(argv + 1, argv + argc);
  return tessera::cli::runCli(args, std::cout, std::cerr, exe.parent_path());
}

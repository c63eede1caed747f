#include <filesystem>
#include <iostream>

#include "cli/cli.h"
#include "cli/diffraction_commands.h"

#ifdef TESSERA_CLI_PICTURES
#include <QString>

#include "app/image_export.h"
#endif

int main(int argc, char** argv) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) exe = std::filesystem::absolute(argv[0], ec);
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef TESSERA_CLI_PICTURES
  tessera::cli::setRasterPictureWriter(
      [](const tessera::PatternPainter& paint, double width, double height, const std::string& path) {
        tessera::app::ensureGuiApplication();
        return tessera::app::exportPatternImage(paint, width, height, QString::fromStdString(path));
      });
#endif
  return tessera::cli::runCli(args, std::cout, std::cerr, exe.parent_path());
}

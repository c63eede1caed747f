#pragma once
// The settings file SCRPTR: the program's user settings kept between runs (the
// document folder, seven window placements, import extensions, the SHELX skip
// list, dialog options, bond limits, tolerance, text font, printing frame and
// powder scale). Read once at start-up, written once at exit.

#include <array>
#include <filesystem>
#include <string>

#include "core/session.h"

namespace tessera {

/// The settings file's name in its folder.
inline constexpr const char* kSettingsFileName = "SCRPTR";

/// Where SCRPTR lives: the home folder when it was given on the command line or is
/// writable (a program run from its build or unpacked folder), else the user's
/// configuration folder (an installed program whose folder is read-only).
std::filesystem::path settingsFolder(const std::filesystem::path& home, bool homeGiven,
                                     const std::filesystem::path& userConfigFolder);

/// Reads SCRPTR from folder into settings. Every value read before a failure stays;
/// the failure is shown ("Failed to open SCRPTR file", "Error reading SCRPTR file,
/// line: %s "). False on failure.
bool readSettings(const std::filesystem::path& folder, ProgramSettings& settings, UserInterface& ui);

/// Writes SCRPTR into folder through a temporary file renamed over it, so a second
/// copy of the program exiting at the same time never leaves a half-written file.
/// Empty keyword entries are dropped from settings first. False (message shown) on failure.
bool writeSettings(const std::filesystem::path& folder, ProgramSettings& settings, UserInterface& ui);

/// The file's text for settings (what writeSettings writes).
std::string settingsText(const ProgramSettings& settings);

/// Reads settings from the file's text; the failure message text, or empty on success.
std::string parseSettings(std::string_view text, ProgramSettings& settings);

}  // namespace tessera

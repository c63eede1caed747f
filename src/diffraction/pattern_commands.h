#pragma once
// View > Powder and View > Precession: the dialog, the checks on the chosen
// crystal, the calculation and the listing. The windows that draw the result
// belong to the user interface.

#include <filesystem>
#include <optional>

#include "core/session.h"
#include "diffraction/powder.h"
#include "diffraction/precession.h"

namespace tessera {

/// What the powder command produced.
struct PowderCommandResult {
  PowderPattern pattern;
  std::optional<std::filesystem::path> listing;  ///< LIST.OUT when it was written
  bool showGraph = false;                        ///< powderOutput > 0: open the powder window
};

/// False with "No new crystal - must Transform" / "No new atoms - must Transform" (by
/// `newMessage`) or "No input atoms" when the active crystal has no sites.
bool activeCrystalHasSites(const CrystalDocument& doc, const char* newMessage, UserInterface& ui);

/// Calculates the powder pattern of the active crystal with the document's settings
/// (the table is reloaded first) and writes LIST.OUT into the output folder when the
/// output asks for the listing.
std::optional<PowderCommandResult> powderAfterDialog(Session& session, ScatteringTable& table);

/// The whole command: dialog, settings, checks, calculation; nullopt when cancelled or refused.
std::optional<PowderCommandResult> runPowderCommand(Session& session, ScatteringTable& table);

/// The precession pattern of the active crystal with the document's settings.
std::optional<PrecessionPattern> precessionAfterDialog(Session& session, ScatteringTable& table);

/// The whole command: dialog, settings, checks, calculation.
std::optional<PrecessionPattern> runPrecessionCommand(Session& session, ScatteringTable& table);

}  // namespace tessera

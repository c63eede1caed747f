#pragma once
// tessera-cli convert: import a file of any readable format (or open a native
// document) and export it in another format.

#include <optional>
#include <string>

#include "cli/cli.h"
#include "formats/import_dialogs.h"

namespace tessera::cli {

/// `convert IN OUT [options]`: imports IN (or opens IN.tsr) and exports OUT.
CliCommand convertCommand();

/// The import kind an input path's extension names (the import options' extensions,
/// ".res" for SHELX too); nullopt when none does.
std::optional<int> importKindForPath(const ProgramSettings& settings, const std::string& path);

/// Selects a data set by 1-based number or by name (any case) for a file holding several;
/// an empty choice keeps the preselected one. False when nothing matches.
bool chooseDataSet(DataSetModel& sets, const std::string& block);

/// The export command of an output path's extension (as importKindForPath reads it);
/// nullopt when none does.
std::optional<int> exportCommandForPath(const ProgramSettings& settings, const std::string& path);

/// True when the export command has a writer; otherwise says so ("tessera-cli NAME: no writer for ...").
bool hasWriter(CliContext& context, const char* commandName, int command);

/// Exports the session's document with an export command (its dialog filled by the UI's
/// dialog filler); false (messages shown) when nothing was written.
bool exportTo(CliContext& context, int command, const std::string& path);

/// Imports path with the reader of that kind into the session's document; false
/// (messages shown) when the import did not succeed.
bool importDocument(CliContext& context, const std::string& path, int kind);

}  // namespace tessera::cli

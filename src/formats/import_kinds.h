#pragma once
// The table of the eighteen import kinds: names, default extensions, menu
// entries, status-line prompts, the Import menu order and the reader of each.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessera {

class ImportContext;

/// A format reader: fills the context's document and calls FinishImport; true on success.
using ImportReader = bool (*)(ImportContext& context);

/// Import kind numbers (they number the formats for importers and exporters alike).
enum ImportKindNumber : int {
  kKindFreeForm = 0, kKindCcdcFdat = 1, kKindShelx = 2, kKindCif = 3, kKindDbws = 4, kKindLhpm = 5,
  kKindIcsd = 6, kKindIcsdCanSnd = 7, kKindOrtep = 8, kKindXtlview = 9, kKindOrbis = 10, kKindPdb = 11,
  kKindRietan = 12, kKindGsas = 13, kKindAmMineral = 14, kKindIcsdOriginal = 15, kKindFullprof = 16,
  kKindOscilla = 17
};

/// Number of import kinds.
constexpr int kImportKindCount = 18;

/// One row of the import table.
struct ImportKind {
  int kind;                     ///< 0..17
  const char* name;             ///< used in dialog texts and file filters, e.g. "SHELX-93"
  const char* extension;        ///< default extension with its dot, e.g. ".ins"
  const char* menuEntry;        ///< Import menu text; nullptr for kinds without an entry
  const char* statusPrompt;     ///< status-line prompt; nullptr for kind 11
  const char* cliName;          ///< name tessera-cli uses, e.g. "shelx"
  ImportReader reader;          ///< nullptr while the format's reader is not built
  bool available() const { return reader != nullptr; }  ///< false: the menu entry is disabled
};

/// The row of a kind (0..17); nullptr outside.
const ImportKind* findImportKind(int kind);

/// All rows, by kind number.
const std::array<ImportKind, kImportKindCount>& importKinds();

/// The Import menu's kinds in menu order (0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 13, 14, 16, 17).
const std::array<int, 15>& importMenuOrder();

/// The kind tessera-cli means by a name: the cliName, or the kind's name in lower case
/// without blanks ("shelx-93", "free-form"); nullopt when unknown.
std::optional<int> importKindByCliName(std::string_view name);

/// The import kind that reads files of an extension (".cif", any case), given the
/// extensions the import options hold per kind: the menu's kinds first, then the
/// kinds without a menu entry (PDB, original ICSD). Kinds without a reader never match.
std::optional<int> importKindForExtension(std::string_view extension, const std::array<std::string, 18>& extensions);

}  // namespace tessera

#pragma once
// Dialog models of the import framework: the "Import File" options and the
// data-set chooser.

#include <string>
#include <string_view>
#include <vector>

#include "core/session.h"
#include "core/user_interface.h"

namespace tessera {

/// The "Import File" dialog: the kind's extension and the two import options.
class ImportOptionsModel : public DialogModel {
 public:
  static constexpr const char* kTitle = "Import File";
  static constexpr const char* kExtensionLabel = "File extension: ";
  static constexpr const char* kSymmetryGroup = "Symmetry source";
  static constexpr const char* kSymmetryXyz = "Positions as xyz";
  static constexpr const char* kSymmetrySymbol = "Symbol (Hall, H-M, number)";
  static constexpr const char* kTypeGroup = "Get atom type number from: ";
  static constexpr const char* kTypeLabel = "Label";
  static constexpr const char* kTypeType = "Type";
  /// Longest extension the field accepts, dot included.
  static constexpr std::size_t kMaxExtension = 4;

  /// Preset from the options of the given kind.
  ImportOptionsModel(const ProgramSettings& settings, int kind);
  static constexpr std::string_view kKind = "ImportFile";
  std::string_view dialogKind() const override { return kKind; }

  std::string caption;        ///< "Import %s file" with the kind's name
  std::string extension;      ///< as typed
  int symmetrySourcePref = 0; ///< 0 positions as xyz, 1 symbol
  int typeNumberSource = 0;   ///< 0 label, 1 type

  /// Stores the three values as the options (the extension normalised).
  void apply(ProgramSettings& settings) const;
  /// ".cif" stays; "cif" becomes ".cif"; "abcd" becomes ".abc"; longer texts are cut to 4.
  static std::string normaliseExtension(std::string_view typed);

 private:
  int kind_;
};

/// The dialog "Data Sets, Phases or Crystals in Import File".
class DataSetModel : public DialogModel {
 public:
  static constexpr const char* kTitle = "Data Sets, Phases or Crystals in Import File";
  static constexpr const char* kListHeading = "Select data set, phase or crystal";

  DataSetModel(const std::string& path, const std::vector<std::string>& names);
  static constexpr std::string_view kKind = "DataSets";
  std::string_view dialogKind() const override { return kKind; }

  std::string fileLine;            ///< "File: %s"
  std::vector<std::string> lines;  ///< " %2d   %s" per name
  std::vector<std::string> names;  ///< the names themselves (for choosing by name)
  int selection = 1;               ///< 1-based selected line
};

}  // namespace tessera

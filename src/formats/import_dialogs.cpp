#include "formats/import_dialogs.h"

#include <algorithm>

#include "core/text.h"
#include "formats/import_kinds.h"

namespace tessera {

ImportOptionsModel::ImportOptionsModel(const ProgramSettings& settings, int kind) : kind_(kind) {
  const ImportKind* row = findImportKind(kind);
  caption = format("Import %s file", row ? row->name : "");
  if (kind >= 0 && kind < kImportKindCount) extension = settings.importExtensions[static_cast<std::size_t>(kind)];
  symmetrySourcePref = settings.symmetrySourcePref > 1 ? 1 : std::max(0, settings.symmetrySourcePref);
  typeNumberSource = settings.typeNumberSource == 1 ? 1 : 0;
}

std::string ImportOptionsModel::normaliseExtension(std::string_view typed) {
  const std::string t = trim(typed);
  if (!t.empty() && t[0] == '.') return cut(t, kMaxExtension);
  return format(".%s", cut(t, 3).c_str());
}

void ImportOptionsModel::apply(ProgramSettings& settings) const {
  if (kind_ >= 0 && kind_ < kImportKindCount)
    settings.importExtensions[static_cast<std::size_t>(kind_)] = normaliseExtension(extension);
  settings.symmetrySourcePref = symmetrySourcePref > 1 ? 1 : std::max(0, symmetrySourcePref);
  settings.typeNumberSource = typeNumberSource == 1 ? 1 : 0;
}

DataSetModel::DataSetModel(const std::string& path, const std::vector<std::string>& dataSetNames)
    : fileLine(format("File: %s", path.c_str())), names(dataSetNames) {
  lines.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    lines.push_back(format(" %2d   %s", static_cast<int>(i + 1), cut(names[i], 31).c_str()));
}

}  // namespace tessera

#pragma once
// What the Rietveld writers and readers share: occupancies in the convention of
// the general position, the occupants a writer writes, the "*" of empty tokens
// and a scanf-like cursor over free-format numbers.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crystal_document.h"
#include "core/session.h"

namespace tessera {

class ExportContext;

/// The exported crystal's sites with auxNumber set to each site's positions in the
/// unit cell (the expansion runs with the report off).
std::vector<Site> sitesWithMultiplicities(ExportContext& context);

/// m x occupancy / G: the occupancy relative to the general position (G from the
/// crystal's lines, inversion and centring); the occupancy itself when G is 0.
float generalPositionOccupancy(const Site& site, const SiteOccupant& occupant, int generalMultiplicity);

/// The occupants a writer writes of a site: all, or only the first with "Remove multiple occupancies".
std::size_t writtenOccupantCount(const Site& site, const ProgramSettings& settings);

/// The number of atom lines a writer writes.
int writtenAtomCount(const std::vector<Site>& sites, const ProgramSettings& settings);

/// The element an occupant is written with: its own, else the symbol of its type
/// number, else empty.
std::string writtenElement(const SiteOccupant& occupant);

/// The text, or "*" when it is empty or blank.
std::string starIfBlank(std::string_view text);

/// The text read back: empty for "*", else trimmed.
std::string unstarred(std::string_view text);

/// Reads blank-separated items from a line as scanf's " %d", " %f" and " %s" do:
/// each read stops at the first character that cannot belong to the item.
class ScanCursor {
 public:
  /// Keeps its own copy of the text (callers pass lines they do not keep).
  explicit ScanCursor(std::string_view text) : text_(text) {}
  std::optional<long> nextInt();
  std::optional<double> nextFloat();
  std::optional<std::string> nextWord();
  /// Up to max reals; stops at the first that cannot be read.
  std::vector<double> floats(std::size_t max);

 private:
  void skipBlanks();
  std::string text_;
  std::size_t at_ = 0;
};

}  // namespace tessera

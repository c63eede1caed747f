#include "formats/rietveld_common.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/elements.h"
#include "core/text.h"
#include "formats/export_framework.h"
#include "formats/import_finish.h"
#include "formats/text_input.h"

namespace tessera {

std::vector<Site> sitesWithMultiplicities(ExportContext& context) {
  std::vector<Site> sites = context.sites();
  CrystalDocument& doc = context.document;
  const int report = doc.reportEnabled;
  doc.reportEnabled = 0;
  setSiteMultiplicities(context.crystal(), sites, context.ui);
  doc.reportEnabled = report;
  return sites;
}

float generalPositionOccupancy(const Site& site, const SiteOccupant& occupant, int g) {
  if (g <= 0) return occupant.occupancy;
  return static_cast<float>(site.auxNumber) * occupant.occupancy / static_cast<float>(g);
}

std::size_t writtenOccupantCount(const Site& site, const ProgramSettings& settings) {
  return settings.removeMultipleOccupancies ? std::min<std::size_t>(1, site.occupants.size()) : site.occupants.size();
}

int writtenAtomCount(const std::vector<Site>& sites, const ProgramSettings& settings) {
  std::size_t n = 0;
  for (const Site& s : sites) n += writtenOccupantCount(s, settings);
  return static_cast<int>(n);
}

std::string writtenElement(const SiteOccupant& o) {
  const std::string own = removeBlanks(o.element);
  if (!own.empty() && own != "*") return own;
  return elementSymbol(o.typeNumber);
}

std::string starIfBlank(std::string_view text) {
  return trim(text).empty() ? std::string("*") : std::string(text);
}

std::string unstarred(std::string_view text) {
  const std::string t = trim(text);
  return t == "*" ? std::string() : t;
}

void ScanCursor::skipBlanks() {
  while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
}

std::optional<long> ScanCursor::nextInt() {
  skipBlanks();
  std::size_t j = at_;
  if (j < text_.size() && (text_[j] == '+' || text_[j] == '-')) ++j;
  const std::size_t digitsFrom = j;
  while (j < text_.size() && std::isdigit(static_cast<unsigned char>(text_[j]))) ++j;
  if (j == digitsFrom) return std::nullopt;
  const auto v = leadingNumber(std::string_view(text_).substr(at_, j - at_));
  at_ = j;
  if (!v) return std::nullopt;
  return static_cast<long>(std::clamp(*v, -2.0e9, 2.0e9));
}

std::optional<double> ScanCursor::nextFloat() {
  skipBlanks();
  std::size_t j = at_;
  if (j < text_.size() && (text_[j] == '+' || text_[j] == '-')) ++j;
  std::size_t digits = 0;
  while (j < text_.size() && std::isdigit(static_cast<unsigned char>(text_[j]))) ++j, ++digits;
  if (j < text_.size() && text_[j] == '.') {
    ++j;
    while (j < text_.size() && std::isdigit(static_cast<unsigned char>(text_[j]))) ++j, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (j < text_.size() && (text_[j] == 'e' || text_[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < text_.size() && (text_[k] == '+' || text_[k] == '-')) ++k;
    const std::size_t expFrom = k;
    while (k < text_.size() && std::isdigit(static_cast<unsigned char>(text_[k]))) ++k;
    if (k > expFrom) j = k;
  }
  const auto v = leadingNumber(std::string_view(text_).substr(at_, j - at_));
  at_ = j;
  return v;
}

std::optional<std::string> ScanCursor::nextWord() {
  skipBlanks();
  const std::size_t from = at_;
  while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  if (at_ == from) return std::nullopt;
  return text_.substr(from, at_ - from);
}

std::vector<double> ScanCursor::floats(std::size_t max) {
  std::vector<double> out;
  while (out.size() < max) {
    const auto v = nextFloat();
    if (!v) break;
    out.push_back(*v);
  }
  return out;
}

}  // namespace tessera

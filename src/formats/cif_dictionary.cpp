#include "formats/cif_dictionary.h"

#include <vector>

#include "core/text.h"

namespace tessera {

namespace {

bool usable(const CifValue& v) { return v.kind() != CifValueKind::NoValue && v.kind() != CifValueKind::Bad; }

// Every usable value of an item, all packets of a looped one.
std::vector<std::string_view> valuesOf(const CifIndex& index, const CifBlock& b, const CifItem& item) {
  const std::vector<CifValue>& values = index.values();
  std::vector<std::string_view> out;
  if (item.error != kCifNone) return out;
  if (item.loop == kCifNone) {
    if (item.value != kCifNone && usable(values[item.value])) out.push_back(index.valueText(item.value));
    return out;
  }
  const CifLoop& loop = b.loops[item.loop];
  for (std::size_t p = 0; p < loop.packetCount(); ++p) {
    const std::size_t v = b.loopValue(item, p);
    if (v < loop.firstValue + loop.valueCount && usable(values[v])) out.push_back(index.valueText(v));
  }
  return out;
}

// The item of that name in the given loop, if any.
const CifItem* column(const CifBlock& b, std::size_t loop, std::string_view name) {
  for (const CifItem& other : b.items) {
    if (other.loop == loop && CifNameEqual{}(other.name, name)) return &other;
  }
  return nullptr;
}

}  // namespace

void CifDictionary::load(CifIndex& index) {
  for (std::size_t b = 0; b < index.blocks().size(); ++b) loadBlock(index, b);
}

// Names wait for the next "_type" item; a second "_name" or the end of the block
// while names wait means their type is missing.
void CifDictionary::loadBlock(CifIndex& index, std::size_t blockNumber) {
  const CifBlock& b = index.blocks()[blockNumber];
  std::vector<std::string_view> pending;
  std::size_t pendingLine = 0;
  std::string looseType;
  const auto missing = [&] {
    index.errors().push_back(CifError{blockNumber, pendingLine, kCifTypeMissing, false});
    pending.clear();
  };
  const auto add = [&](std::string_view name, std::string_view type) { types_[toLower(name)] = toLower(type); };

  for (const CifItem& item : b.items) {
    const bool isName = CifNameEqual{}(item.name, "_name");
    const bool isType = CifNameEqual{}(item.name, "_type");
    const CifItem* pairedType = isName && item.loop != kCifNone ? column(b, item.loop, "_type") : nullptr;
    const bool typeInNameLoop = isType && item.loop != kCifNone && column(b, item.loop, "_name");
    if (isName && pairedType) {
      const auto names = valuesOf(index, b, item);
      const auto types = valuesOf(index, b, *pairedType);
      if (names.size() != types.size()) {
        pendingLine = item.line;
        missing();
      }
      for (std::size_t i = 0; i < names.size() && i < types.size(); ++i) add(names[i], types[i]);
    } else if (isName) {
      if (!pending.empty()) missing();
      pending = valuesOf(index, b, item);
      pendingLine = item.line;
    } else if (isType && !typeInNameLoop) {
      const auto types = valuesOf(index, b, item);
      if (types.empty()) continue;
      if (pending.empty()) looseType = std::string(types.front());
      for (std::string_view name : pending) add(name, types.front());
      pending.clear();
    }
  }
  if (!pending.empty() && !looseType.empty()) {
    for (std::string_view name : pending) add(name, looseType);
    pending.clear();
  }
  if (!pending.empty()) missing();
}

std::string_view CifDictionary::typeOf(std::string_view name) const {
  const auto it = types_.find(toLower(name));
  return it == types_.end() ? std::string_view() : std::string_view(it->second);
}

}  // namespace tessera

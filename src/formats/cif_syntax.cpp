#include "formats/cif_syntax.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/text.h"
#include "formats/cif_numbers.h"

namespace tessera {

namespace {

// Reads a whole file; false when it cannot be opened or read (a folder, say).
bool readWholeFile(const std::string& path, std::string& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out.clear();
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec) out.reserve(static_cast<std::size_t>(size));
  char chunk[65536];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
  const bool ok = std::ferror(f) == 0;
  std::fclose(f);
  return ok;
}

// A value the dictionary's "numb" accepts: a number, quoted or not, or no value.
bool fitsNumb(const CifIndex& index, std::size_t v) {
  switch (index.values()[v].kind()) {
    case CifValueKind::NoValue:
    case CifValueKind::Bad:
      return true;
    case CifValueKind::Plain:
      return isCifNumberAt(index.text().substr(index.values()[v].offset()));
    case CifValueKind::Quoted:
      return isCifNumber(index.valueText(v));
    case CifValueKind::Text:
      return false;
  }
  return true;
}

}  // namespace

std::string cifErrorMessage(std::string_view fileName, std::string_view blockName, std::size_t line,
                            const char* text) {
  return format("%s%s%s%s%s%5ld%s\n", " ciftbx error in  ", trimRight(fileName).c_str(), "  data_",
                std::string(blockName).c_str(), "  line", static_cast<long>(line), text);
}

std::string cifTypeWarning(std::string_view name) {
  return " Warning: type " + std::string(name) + " different to dictionary!";
}

CifReader::CifReader(UserInterface& ui) : ui_(ui) {}
CifReader::~CifReader() = default;

void CifReader::setOptions(std::string_view options) {
  validate_ = false;
  dictionaryTypes_ = false;
  for (const std::string& word : splitTokens(options)) {
    if (equalsIgnoreCase(word, "valid")) validate_ = true;
    if (equalsIgnoreCase(word, "dtype")) dictionaryTypes_ = true;
  }
}

bool CifReader::loadDictionary(const std::string& path, std::string_view options) {
  if (isOpen()) return loadDictionaryText(std::string(), path, options);
  std::string text;
  if (!readWholeFile(path, text)) return false;
  return loadDictionaryText(std::move(text), path, options);
}

bool CifReader::loadDictionaryText(std::string text, std::string_view displayName, std::string_view options) {
  if (isOpen()) {
    const std::string_view current = current_ == kCifNone ? std::string_view() : block()->name;
    ui_.message(cifErrorMessage(fileName_, current, 0, kCifDictAfterOpen));
    return false;
  }
  setOptions(options);
  dictionary_.clear();
  CifIndex dict(std::move(text));
  dictionary_.load(dict);
  // One message per dictionary block is enough to point at a damaged file.
  std::vector<bool> shown(dict.blocks().size(), false);
  for (const CifError& e : dict.errors()) {
    if (shown[e.block]) continue;
    shown[e.block] = true;
    ui_.message(cifErrorMessage(displayName, dict.blocks()[e.block].name, e.line, e.text));
  }
  return true;
}

bool CifReader::openCif(const std::string& path) {
  std::string text;
  if (!readWholeFile(path, text)) {
    index_.reset();
    fileName_.clear();
    current_ = kCifNone;
    return false;
  }
  openCifText(std::move(text), path);
  return true;
}

void CifReader::openCifText(std::string text, std::string displayName) {
  index_ = std::make_unique<CifIndex>(std::move(text));
  fileName_ = std::move(displayName);
  current_ = kCifNone;
  nextBlock_ = 0;
  loopMore_ = false;
  cursors_.clear();
  charTyped_.clear();
  for (RecentName& r : recent_) r.name.clear();
  checked_.assign(index_->blocks().size(), false);
}

std::size_t CifReader::blockCount() const { return index_ ? index_->blocks().size() : 0; }

std::string_view CifReader::blockName(std::size_t i) const {
  return i < blockCount() ? index_->blocks()[i].name : std::string_view();
}

const CifBlock* CifReader::block() const {
  return index_ && current_ < index_->blocks().size() ? &index_->blocks()[current_] : nullptr;
}

bool CifReader::selectBlock(std::size_t i) {
  if (i >= blockCount()) return false;
  openBlock(i);
  return true;
}

bool CifReader::nextDataBlock(std::string& name) {
  const std::string wanted = trim(name);
  for (std::size_t i = nextBlock_; i < blockCount(); ++i) {
    if (wanted.empty() || equalsIgnoreCase(index_->blocks()[i].name, wanted)) {
      openBlock(i);
      name = std::string(index_->blocks()[i].name);
      return true;
    }
  }
  nextBlock_ = blockCount();
  return false;
}

void CifReader::openBlock(std::size_t i) {
  current_ = i;
  nextBlock_ = i + 1;
  loopMore_ = false;
  const CifBlock& b = index_->blocks()[i];
  cursors_.assign(b.loops.size(), LoopCursor{});
  for (std::size_t l = 0; l < b.loops.size(); ++l) cursors_[l].lastRead.assign(b.loops[l].nameCount, kCifNone);
  charTyped_.assign(b.items.size(), false);
  for (RecentName& r : recent_) r.name.clear();
  if (dictionaryTypes_ && !dictionary_.empty()) {
    for (std::size_t k = 0; k < b.items.size(); ++k) charTyped_[k] = dictionary_.typeOf(b.items[k].name) == "char";
  }
  if (b.blockError != kCifNone) report(b.blockError);
  if (validate_ && !dictionary_.empty() && !checked_[i]) {
    checked_[i] = true;
    checkTypes(b);
  }
}

// Only "numb" is checked: any value, digits included, is a valid character string.
void CifReader::checkTypes(const CifBlock& b) {
  for (const CifItem& item : b.items) {
    if (dictionary_.typeOf(item.name) != "numb") continue;
    bool fits = true;
    if (item.loop == kCifNone) {
      fits = item.value == kCifNone || fitsNumb(*index_, item.value);
    } else {
      const CifLoop& loop = b.loops[item.loop];
      for (std::size_t p = 0; fits && p < loop.packetCount(); ++p) {
        const std::size_t v = b.loopValue(item, p);
        fits = v >= loop.firstValue + loop.valueCount || fitsNumb(*index_, v);
      }
    }
    if (!fits) ui_.message(cifTypeWarning(item.name));
  }
}

void CifReader::report(std::size_t error) {
  CifError& e = index_->errors()[error];
  if (e.reported) return;
  e.reported = true;
  ui_.message(cifErrorMessage(fileName_, index_->blocks()[e.block].name, e.line, e.text));
}

const CifItem* CifReader::lookup(std::string_view name) {
  if (name.empty()) return nullptr;
  const std::size_t slot =
      (name.size() * 7 + static_cast<unsigned char>(name.back()) * 3 + static_cast<unsigned char>(name[name.size() / 2])) %
      kRecentNames;
  RecentName& r = recent_[slot];
  if (r.name == name) return r.item;
  const CifItem* item = block()->find(name);
  if (item) {
    r.name.assign(name);
    r.item = item;
  }
  return item;
}

// Finds the value a request reads (kCifNone: none), moving a loop to its next
// packet when this name was already read in the current one.
std::size_t CifReader::request(std::string_view name, const CifItem** itemOut) {
  const CifBlock* b = block();
  if (!b) return kCifNone;
  const CifItem* item = lookup(name);
  if (!item) return kCifNone;
  *itemOut = item;
  if (item->error != kCifNone) {
    report(item->error);
    return kCifNone;
  }
  std::size_t v = item->value;
  if (item->loop != kCifNone) {
    const CifLoop& loop = b->loops[item->loop];
    LoopCursor& cursor = cursors_[item->loop];
    const std::size_t count = loop.packetCount();
    if (cursor.packet == kCifNone) {
      cursor.packet = 0;
    } else if (cursor.lastRead[item->column] == cursor.packet && cursor.packet < count) {
      ++cursor.packet;
    }
    if (cursor.packet >= count) {
      loopMore_ = false;
      return kCifNone;
    }
    cursor.lastRead[item->column] = cursor.packet;
    loopMore_ = cursor.packet + 1 < count;
    if (loop.miscount != kCifNone && cursor.packet + 1 == count) {
      report(loop.miscount);
      return kCifNone;
    }
    v = b->loopValue(*item, cursor.packet);
  }
  if (v != kCifNone && index_->values()[v].kind() == CifValueKind::Bad) {
    const std::size_t error = index_->valueError(v);
    if (error != kCifNone) report(error);
    return kCifNone;
  }
  return v;
}

bool CifReader::getNumber(std::string_view name, double& value, double& su) {
  const CifItem* item = nullptr;
  const std::size_t v = request(name, &item);
  if (v == kCifNone) return false;
  const CifValueKind kind = index_->values()[v].kind();
  if (kind != CifValueKind::Plain && kind != CifValueKind::Quoted) return false;
  if (dictionaryTypes_ && charTyped_[static_cast<std::size_t>(item - block()->items.data())]) return false;
  const auto number = kind == CifValueKind::Plain
                          ? parseCifNumberAt(index_->text().substr(index_->values()[v].offset()))
                          : parseCifNumber(index_->valueText(v));
  if (!number) return false;
  value = number->value;
  su = number->su;
  return true;
}

bool CifReader::getChar(std::string_view name, std::string& text) {
  const CifItem* item = nullptr;
  const std::size_t v = request(name, &item);
  if (v == kCifNone) return false;
  const CifValueKind kind = index_->values()[v].kind();
  if (kind == CifValueKind::NoValue) return false;
  const std::string_view value = index_->valueText(v);
  if (kind != CifValueKind::Text) {
    text.assign(value);
    return true;
  }
  text.clear();
  for (char c : value) {
    if (c != '\r') text.push_back(c);
  }
  return true;
}

bool CifReader::contains(std::string_view name) const {
  const CifBlock* b = block();
  return b && b->find(name) != nullptr;
}

std::size_t CifReader::packetCount(std::string_view name) const {
  const CifBlock* b = block();
  const CifItem* item = b ? b->find(name) : nullptr;
  if (!item) return 0;
  return item->loop == kCifNone ? 1 : b->loops[item->loop].packetCount();
}

}  // namespace tessera

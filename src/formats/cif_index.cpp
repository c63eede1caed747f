#include "formats/cif_index.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tessera {

namespace {
// Error texts are compared by content: a string literal's address may differ between
// translation units (it does under the address sanitizer).
bool textNotClosed(const char* error) { return error && std::string_view(error) == kCifTextNotClosed; }
}  // namespace


namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// Eight bytes at a time; setting bit 5 folds letters to lower case. It also folds
// a few other characters together, which only costs a comparison.
std::size_t CifNameHash::operator()(std::string_view s) const noexcept {
  constexpr std::uint64_t kFold = 0x2020202020202020ULL;
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
  std::uint64_t h = s.size() * kMul;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, 8);
    h = (h ^ (w | kFold)) * kMul;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  for (std::size_t k = 0; i < s.size(); ++i, ++k) tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(s[i]) | 0x20) << (8 * k);
  h = (h ^ tail) * kMul;
  return static_cast<std::size_t>(h ^ (h >> 32));
}

bool CifNameEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  if (a.size() != b.size()) return false;
  if (std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

const CifItem* CifBlock::find(std::string_view name) const {
  const auto it = index.find(name);
  return it == index.end() ? nullptr : &items[it->second];
}

// Builds the blocks from the token stream. Errors never stop the scan: each one
// is recorded and tied to what it damages, and reading goes on with the next token.
class CifIndex::Parser {
 public:
  explicit Parser(CifIndex& owner) : owner_(owner), tokens_(owner.text_) {}

  void run() {
    for (;;) {
      const CifToken t = tokens_.next();
      switch (t.kind) {
        case CifTokenKind::End:
          close(t.line);
          return;
        case CifTokenKind::Data:
          close(t.line);
          owner_.blocks_.push_back(CifBlock{});
          owner_.blocks_.back().name = t.text;
          owner_.blocks_.back().line = t.line;
          state_ = State::Items;
          break;
        case CifTokenKind::Loop:
          if (state_ == State::Outside) break;
          close(t.line);
          block().loops.push_back(CifLoop{owner_.values_.size(), 0, 0, kCifNone});
          state_ = State::LoopNames;
          break;
        case CifTokenKind::Name:
          onName(t);
          break;
        case CifTokenKind::Value:
          // A text field left open swallows the rest of the file: the block says so
          // when it is opened, not only when that one item is asked for.
          if (textNotClosed(t.error) && state_ != State::Outside) {
            textError_ = addError(t.line, t.error);
            if (block().blockError == kCifNone) block().blockError = textError_;
          }
          onValue(t);
          break;
      }
    }
  }

 private:
  // Outside: before the first data_ header, where everything is skipped.
  enum class State { Outside, Items, AfterName, Orphans, LoopNames, LoopValues };

  CifBlock& block() { return owner_.blocks_.back(); }

  std::size_t addError(std::size_t line, const char* text) {
    owner_.errors_.push_back(CifError{owner_.blocks_.size() - 1, line, text, false});
    return owner_.errors_.size() - 1;
  }

  std::size_t addItem(const CifToken& t, std::size_t loop, std::size_t column) {
    CifBlock& b = block();
    b.items.push_back(CifItem{t.text, t.line, loop, column, kCifNone, kCifNone});
    b.index.try_emplace(t.text, b.items.size() - 1);
    return b.items.size() - 1;
  }

  std::size_t addValue(const CifToken& t) {
    owner_.values_.emplace_back(t.offset, t.valueKind);
    const std::size_t index = owner_.values_.size() - 1;
    if (t.valueKind == CifValueKind::Bad)
      owner_.badValues_.emplace(index, textNotClosed(t.error) && textError_ != kCifNone ? textError_
                                                                                           : addError(t.line, t.error));
    return index;
  }

  void onName(const CifToken& t) {
    if (state_ == State::Outside) return;
    if (state_ == State::LoopNames) {
      CifLoop& loop = block().loops.back();
      addItem(t, block().loops.size() - 1, loop.nameCount++);
      return;
    }
    close(t.line);
    pendingItem_ = addItem(t, kCifNone, 0);
    state_ = State::AfterName;
  }

  void onValue(const CifToken& t) {
    switch (state_) {
      case State::Outside:
      case State::Orphans:
        break;
      case State::AfterName:
        block().items[pendingItem_].value = addValue(t);
        state_ = State::Items;
        break;
      case State::LoopNames:
        if (block().loops.back().nameCount == 0) {
          orphan(t);
          break;
        }
        state_ = State::LoopValues;
        [[fallthrough]];
      case State::LoopValues:
        addValue(t);
        ++block().loops.back().valueCount;
        lastValueLine_ = t.line;
        break;
      case State::Items:
        orphan(t);
        break;
    }
  }

  // A value with no name of its own. It most likely belongs to the item before it
  // (an unquoted value with blanks), so that item is marked broken; a run of such
  // values gives one error.
  void orphan(const CifToken& t) {
    CifBlock& b = block();
    const bool afterItem = state_ == State::Items && !b.items.empty() && b.items.back().loop == kCifNone;
    if (afterItem) {
      if (b.items.back().error == kCifNone) b.items.back().error = addError(t.line, kCifConstructionError);
    } else if (b.blockError == kCifNone) {
      b.blockError = addError(t.line, kCifConstructionError);
    }
    state_ = State::Orphans;
  }

  // Ends whatever construction is open before a new name, loop_, data_ or the end.
  void close(std::size_t line) {
    if (state_ == State::AfterName) {
      CifItem& item = block().items[pendingItem_];
      item.error = addError(line, kCifIllegalTagValue);
    } else if (state_ == State::LoopNames || state_ == State::LoopValues) {
      CifLoop& loop = block().loops.back();
      if (loop.nameCount > 0 && loop.valueCount % loop.nameCount != 0) {
        loop.miscount = addError(lastValueLine_, kCifMiscount);
      }
    }
    if (state_ != State::Outside) state_ = State::Items;
  }

  CifIndex& owner_;
  CifTokenizer tokens_;
  State state_ = State::Outside;
  std::size_t pendingItem_ = 0;
  std::size_t textError_ = kCifNone;  ///< the error of a text field left open
  std::size_t lastValueLine_ = 0;
};

namespace {

// Every value starts after a blank, so counting those starts bounds the number of
// values and the array is allocated once.
std::size_t estimateTokens(std::string_view text) {
  static constexpr auto kBlank = [] {
    std::array<std::uint8_t, 256> t{};
    for (unsigned char c : {' ', '\t', '\r', '\n'}) t[c] = 1;
    return t;
  }();
  // Branch-free: a start is a non-blank after a blank.
  std::size_t starts = 0;
  unsigned previous = 1;
  for (char c : text) {
    const unsigned current = kBlank[static_cast<unsigned char>(c)];
    starts += previous & (current ^ 1U);
    previous = current;
  }
  return starts;
}

}  // namespace

CifIndex::CifIndex(std::string text) : text_(std::move(text)) {
  values_.reserve(estimateTokens(text_));
  Parser parser(*this);
  parser.run();
}

std::size_t CifIndex::valueError(std::size_t value) const {
  const auto it = badValues_.find(value);
  return it == badValues_.end() ? kCifNone : it->second;
}

}  // namespace tessera

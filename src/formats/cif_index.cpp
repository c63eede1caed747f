#include "formats/cif_index.h"

#include <utility>

namespace tessera {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t CifNameHash::operator()(std::string_view s) const noexcept {
  std::size_t h = 1469598103934665603ULL;
  for (char c : s) {
    h ^= static_cast<unsigned char>(lowerAscii(c));
    h *= 1099511628211ULL;
  }
  return h;
}

bool CifNameEqual::operator()(std::string_view a, std::string_view b) const noexcept {
  if (a.size() != b.size()) return false;
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
          block().loops.push_back(CifLoop{block().values.size(), 0, 0, kCifNone});
          state_ = State::LoopNames;
          break;
        case CifTokenKind::Name:
          onName(t);
          break;
        case CifTokenKind::Value:
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
    CifBlock& b = block();
    b.values.push_back(CifValue{t.text, t.valueKind});
    const std::size_t index = b.values.size() - 1;
    if (t.valueKind == CifValueKind::Bad) b.badValues.emplace(index, addError(t.line, t.error));
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
  std::size_t lastValueLine_ = 0;
};

CifIndex::CifIndex(std::string text) : text_(std::move(text)) {
  Parser parser(*this);
  parser.run();
}

}  // namespace tessera

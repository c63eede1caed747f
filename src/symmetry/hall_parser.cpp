#include "symmetry/hall_parser.h"

#include <cctype>

#include "symmetry/rotation_info.h"
#include "symmetry/sg_group.h"

namespace tessera {

namespace {

// Field kinds, ordered: a generator ends when a field of a lower kind arrives.
enum FieldKind { kDelimiter = 0, kImproper = 1, kRotation = 3, kAxis = 4, kDirCode = 5, kTranslation = 6, kShift = 7 };

bool isHallBlank(char c) { return c == ' ' || c == '_' || c == '.' || c == '\t' || c == '\0'; }

std::array<int, 3> translationOfLetter(char c) {
  switch (c) {
    case 'a': return {6, 0, 0};
    case 'b': return {0, 6, 0};
    case 'c': return {0, 0, 6};
    case 'n': return {6, 6, 6};
    case 'u': return {3, 0, 0};
    case 'v': return {0, 3, 0};
    case 'w': return {0, 0, 3};
    case 'd': return {3, 3, 3};
    default: return {-1, -1, -1};
  }
}

struct Generator {
  bool improper = false;
  int order = 1;
  char axis = '\0';
  char code = '\0';
  int screw = 0;
  std::array<int, 3> translation{};
};

class HallParser {
 public:
  HallParser(std::string_view text, SgInfo& sg) : text_(text), sg_(sg) {}

  int run() {
    if (readLattice() != 0) return -1;
    for (;;) {
      const bool atEnd = pos_ >= text_.size() || text_[pos_] == '\0';
      const char c = atEnd ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_])));
      if (field(c) != 0) return -1;
      if (atEnd) return 0;
      ++pos_;
    }
  }

 private:
  char at(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  int readLattice() {
    bool inversion = false;
    for (;; ++pos_) {
      const char c = at(pos_);
      if (c == '\0') return setSgError(sg_, "Error: Lattice type not specified");
      if (isHallBlank(c)) continue;
      if (c == '-' && !inversion) {
        inversion = true;
        if (AddInversion2ListSeitzMx(sg_) != 0) return -1;
        continue;
      }
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      const LatticeInfo* lattice = findLattice(letter);
      if (!lattice) return setSgError(sg_, "Error: Illegal lattice code");
      if (sg_.crystal) {
        sg_.crystal->latticeName = std::string(1, letter);
        sg_.crystal->latticeCode = lattice->latticeCode;
      }
      ++pos_;
      return AddLatticeTr2ListSeitzMx(sg_, *lattice);
    }
  }

  int field(char c) {
    if (c == 'q') c = '\'';
    if (c == '+') c = '"';
    int kind;
    int digit = 0;
    if (translationOfLetter(c)[0] >= 0) {
      kind = kTranslation;
    } else if (isHallBlank(c)) {
      kind = kDelimiter;
    } else if (c == '"' || c == '\'' || c == '*') {
      kind = kDirCode;
    } else if (c == '(') {
      kind = kShift;
    } else if (c == '-') {
      kind = kImproper;
    } else if (c == 'x' || c == 'y' || c == 'z') {
      kind = kAxis;
    } else if (c >= '1' && c <= '6') {
      digit = c - '0';
      const bool rotation = !open_ || digit >= current_.order || current_.screw != 0 || current_.code != '\0';
      kind = rotation ? kRotation : kTranslation;
      if (rotation && digit == 5) return setSgError(sg_, "Error: Illegal 5-fold rotation");
    } else {
      return setSgError(sg_, "Error: Illegal character in Hall symbol");
    }

    if (open_ && endsGenerator(kind) && finishGenerator() != 0) return -1;
    if (kind == kShift) {
      prevKind_ = kDelimiter;
      return readOriginShift();
    }
    prevKind_ = kind;
    if (kind == kDelimiter) return 0;
    if (!open_) {
      current_ = Generator{};
      open_ = true;
    }
    switch (kind) {
      case kImproper: current_.improper = true; break;
      case kRotation: current_.order = digit; break;
      case kAxis: current_.axis = c; break;
      case kDirCode: current_.code = c; break;
      default:
        if (digit != 0) {
          current_.screw = digit;
        } else {
          const auto t = translationOfLetter(c);
          for (std::size_t k = 0; k < 3; ++k) current_.translation[k] += t[k];
        }
    }
    return 0;
  }

  bool endsGenerator(int kind) const {
    if (kind == kDelimiter || kind == kShift) return true;
    if (kind == kAxis && prevKind_ == kDirCode && current_.axis == '\0') return false;
    if (kind < prevKind_) return true;
    return kind == prevKind_ && kind != kTranslation;
  }

  int finishGenerator() {
    Generator& g = current_;
    if (g.axis == '\0') {
      if (generatorCount_ == 0) {
        g.axis = 'z';
      } else if (g.order == 2) {
        if (prevOrder_ == 2 || prevOrder_ == 4) {
          g.axis = 'x';
        } else if (prevOrder_ == 3 || prevOrder_ == 6) {
          g.axis = prevAxis_;
          if (g.code == '\0') g.code = '\'';
        }
      } else if (g.order == 3 && g.code == '\0') {
        g.code = '*';
      }
    }
    prevOrder_ = g.order;
    prevAxis_ = g.axis;

    SeitzMx op;
    if (!generatorRotation(g.order, g.code, g.axis, op.rotation))
      return setSgError(sg_, "Error: Illegal generator or need explicit axis symbol");
    if (g.improper)
      for (int& e : op.rotation) e = -e;
    if (g.screw != 0) {
      const bool principal = g.code == '\0' && (g.axis == 'x' || g.axis == 'y' || g.axis == 'z');
      if (!principal) return setSgError(sg_, "Error: Screw for non-principal direction");
      g.translation[static_cast<std::size_t>(g.axis - 'x')] += g.screw * STBF / g.order;
    }
    for (std::size_t k = 0; k < 3; ++k) op.translation[k] = mod12(g.translation[k]);
    if (Add2ListSeitzMx(sg_, op) != 0) return -1;
    if (sg_.latticeTranslationStatus == -1 && AddLatticeTr2ListSeitzMx(sg_, *sg_.lattice) != 0) return -1;
    ++generatorCount_;
    open_ = false;
    return 0;
  }

  int readOriginShift() {
    if (shiftSeen_) return setSgError(sg_, "Error: Too much origin shift values");
    shiftSeen_ = true;
    int count = 0;
    bool minus = false;
    for (++pos_;; ++pos_) {
      const char c = at(pos_);
      if (c == ')' || c == '\0') {
        if (minus) return setSgError(sg_, "Error: Illegal origin shift value");
        if (count < 3) return setSgError(sg_, "Error: Missing origin shift values");
        if (c == '\0') --pos_;  // the end of the text is read again by the caller
        return 0;
      }
      if (isHallBlank(c)) continue;
      if (c == '-' && !minus) {
        minus = true;
      } else if (c >= '0' && c <= '6') {
        if (count == 3) return setSgError(sg_, "Error: Too much origin shift values");
        sg_.originShift[static_cast<std::size_t>(count++)] = minus ? -(c - '0') : c - '0';
        minus = false;
      } else {
        return setSgError(sg_, "Error: Illegal origin shift value");
      }
    }
  }

  std::string_view text_;
  SgInfo& sg_;
  std::size_t pos_ = 0;
  Generator current_;
  bool open_ = false;
  int prevKind_ = kDelimiter;
  int prevOrder_ = 0;
  char prevAxis_ = '\0';
  int generatorCount_ = 0;
  bool shiftSeen_ = false;
};

}  // namespace

int ParseHallSymbol(std::string_view hallSymbol, SgInfo& sg) {
  if (!sg.error.empty()) return -1;
  sg.fromHallSymbol = true;
  HallParser parser(hallSymbol, sg);
  return parser.run();
}

}  // namespace tessera

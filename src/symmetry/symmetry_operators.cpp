#include "symmetry/symmetry_operators.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/text.h"

namespace tessera {

SeitzMx identitySeitzMx() {
  SeitzMx m;
  m.rotation = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  return m;
}

SeitzMx multiplySeitzMx(const SeitzMx& a, const SeitzMx& b) {
  SeitzMx p;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      int s = 0;
      for (int k = 0; k < 3; ++k) s += a.rotation[i * 3 + k] * b.rotation[k * 3 + j];
      p.rotation[i * 3 + j] = s;
    }
    int t = a.translation[i];
    for (int k = 0; k < 3; ++k) t += a.rotation[i * 3 + k] * b.translation[k];
    t %= STBF;
    p.translation[i] = t < 0 ? t + STBF : t;
  }
  return p;
}

namespace {

// Items the operator-text state machine may accept next.
enum Allowed : unsigned {
  kBlank = 1u << 0,
  kEnd = 1u << 1,
  kPlus = 1u << 2,
  kMinus = 1u << 3,
  kPendingNumber = 1u << 4,
  kNumerator = 1u << 5,
  kDenominator = 1u << 6,
  kVariable = 1u << 7,
};

constexpr unsigned kRowStart = kBlank | kPlus | kMinus | kNumerator | kVariable;

class SymXYZParser {
 public:
  SymXYZParser(std::string_view text, int base) : text_(text), base_(base) {}

  // Returns the failing position, or -1 on success.
  int run(SeitzMx& out) {
    out = SeitzMx{};
    m_ = &out;
    startRow();
    std::size_t i = 0;
    for (;;) {
      const bool atEnd = i >= text_.size() || text_[i] == '\0';
      if (atEnd) {
        if (!endRow()) return static_cast<int>(i);
        return rowsEnded_ == 3 ? -1 : static_cast<int>(i);
      }
      const std::size_t next = step(i);
      if (next == kFailed) return static_cast<int>(i);
      i = next;
    }
  }

 private:
  static constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

  void startRow() {
    allowed_ = kRowStart;
    sign_ = 1;
    value_ = 0.0;
    hasVariable_ = false;
  }

  bool allows(unsigned item) const { return (allowed_ & item) != 0; }

  // Handles the character at i; returns the index of the next character or kFailed.
  std::size_t step(std::size_t i) {
    const char c = text_[i];
    switch (c) {
      case ' ': case '\t': case '_':
        return allows(kBlank) ? i + 1 : kFailed;
      case '+': case '-':
        return sign(c == '+' ? 1 : -1) ? i + 1 : kFailed;
      case '/': case ':':
        if (!allows(kPendingNumber)) return kFailed;
        sign_ = 1;
        allowed_ = kBlank | kPlus | kMinus | kDenominator;
        return i + 1;
      case 'x': case 'X': return variable(0) ? i + 1 : kFailed;
      case 'y': case 'Y': return variable(1) ? i + 1 : kFailed;
      case 'z': case 'Z': return variable(2) ? i + 1 : kFailed;
      case ',': case ';':
        if (row_ == 2) return kFailed;
        return endRow() ? i + 1 : kFailed;
      default:
        if ((c >= '0' && c <= '9') || c == '.') return number(i);
        return i + 1;  // anything else (brackets, quotes, other letters) has no effect
    }
  }

  bool sign(int s) {
    if (!allows(s > 0 ? kPlus : kMinus)) return false;
    if (allows(kPendingNumber)) value_ += numerator_;
    sign_ = s;
    allowed_ = allows(kDenominator) ? kDenominator : (kBlank | kNumerator | kVariable);
    return true;
  }

  bool variable(int column) {
    if (!allows(kVariable)) return false;
    int& entry = m_->rotation[static_cast<std::size_t>(row_ * 3 + column)];
    if (entry != 0) return false;
    entry = sign_;
    hasVariable_ = true;
    allowed_ = kBlank | kEnd | kPlus | kMinus;
    return true;
  }

  std::size_t number(std::size_t i) {
    double v = 0.0;
    const char* first = text_.data() + i;
    const char* last = text_.data() + text_.size();
    const auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr == first || !std::isfinite(v)) return kFailed;
    if (sign_ < 0) v = -v;
    if (allows(kNumerator)) {
      numerator_ = v;
      allowed_ = kBlank | kEnd | kPlus | kMinus | kPendingNumber;
    } else if (allows(kDenominator)) {
      if (numerator_ != 0.0) {
        if (v == 0.0) return kFailed;
        value_ += numerator_ / v;
      }
      allowed_ = kBlank | kEnd | kPlus | kMinus;
    } else {
      return kFailed;
    }
    return static_cast<std::size_t>(ptr - text_.data());
  }

  bool endRow() {
    if (!allows(kEnd) || !hasVariable_) return false;
    if (allows(kPendingNumber)) value_ += numerator_;
    const double t = value_ * base_;
    if (!std::isfinite(t)) return false;
    // Rounded half away from zero, in doubles so huge constants cannot overflow an int.
    const double rounded = t >= 0 ? std::floor(t + 0.5) : std::ceil(t - 0.5);
    if (std::fabs(t - rounded) > 0.01 * base_) return false;
    double reduced = std::fmod(rounded, static_cast<double>(base_));
    if (reduced < 0) reduced += base_;
    m_->translation[static_cast<std::size_t>(row_)] = static_cast<int>(reduced) % base_;
    ++row_;
    ++rowsEnded_;
    startRow();
    return true;
  }

  std::string_view text_;
  int base_;
  SeitzMx* m_ = nullptr;
  unsigned allowed_ = 0;
  int sign_ = 1;
  double value_ = 0.0;
  double numerator_ = 0.0;
  bool hasVariable_ = false;
  int row_ = 0;
  int rowsEnded_ = 0;
};

constexpr std::size_t kMaxFractionText = 39;
constexpr std::size_t kMaxXyzText = 79;

long long gcdOf(long long a, long long b) {
  a = std::llabs(a);
  b = std::llabs(b);
  while (b != 0) {
    const long long r = a % b;
    a = b;
    b = r;
  }
  return a;
}

}  // namespace

int ParseSymXYZ(std::string_view text, SeitzMx& out, int translationBase, int* errorPosition) {
  if (translationBase <= 0) {
    if (errorPosition) *errorPosition = 0;
    return -1;
  }
  SymXYZParser parser(text, translationBase);
  const int failedAt = parser.run(out);
  if (failedAt < 0) return 0;
  if (errorPosition) *errorPosition = failedAt;
  return -1;
}

namespace {

// Appends numerator/denominator as FormatFraction writes it.
void appendFraction(std::string& out, int numerator, int denominator, bool decimal) {
  if (numerator == 0) {
    out += '0';
    return;
  }
  if (decimal) {
    std::string text = format("%.6g", static_cast<double>(numerator) / denominator);
    const std::size_t digits = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() > digits + 1 && text[digits] == '0' && text[digits + 1] == '.') text.erase(digits, 1);
    out += text;
    return;
  }
  long long n = numerator;
  long long d = denominator;
  const long long g = gcdOf(n, d);
  if (g != 0) {
    n /= g;
    d /= g;
  }
  if (d < 0) {
    n = -n;
    d = -d;
  }
  char buffer[48];  // two long longs of at most 20 characters and the "/"
  char* end = std::to_chars(buffer, buffer + 24, n).ptr;
  if (d != 1) {
    *end++ = '/';
    end = std::to_chars(end, buffer + sizeof buffer, d).ptr;
  }
  out.append(buffer, end);
}

}  // namespace

std::optional<std::string> FormatFraction(int numerator, int denominator, bool decimal) {
  std::string text;
  appendFraction(text, numerator, denominator, decimal);
  if (text.size() > kMaxFractionText) return std::nullopt;
  return text;
}

std::optional<std::string> RTMx2XYZ(const SeitzMx& op, int rotationBase, int translationBase, bool decimal,
                                    bool translationFirst, bool lowerCase, std::string_view separator) {
  if (translationBase <= 0) return std::nullopt;
  const char* letters = lowerCase ? "xyz" : "XYZ";
  std::string out;
  out.reserve(32);
  std::string piece;
  for (int row = 0; row < 3; ++row) {
    if (row > 0) out += separator;
    int t = op.translation[static_cast<std::size_t>(row)] % translationBase;
    if (t < 0) t += translationBase;
    std::string trText;
    if (t != 0) appendFraction(trText, t, translationBase, decimal);
    if (trText.size() > kMaxFractionText) return std::nullopt;
    const std::size_t rowStart = out.size();
    if (translationFirst) out += trText;
    for (int col = 0; col < 3; ++col) {
      const int entry = op.rotation[static_cast<std::size_t>(row * 3 + col)];
      if (entry == 0) continue;
      piece.clear();
      appendFraction(piece, entry, rotationBase, decimal);
      if (piece.size() > kMaxFractionText) return std::nullopt;
      std::string_view rest = piece;
      if (rest[0] == '-') {
        out += '-';
        rest.remove_prefix(1);
      } else if (out.size() > rowStart) {
        out += '+';
      }
      if (rest != "1") {
        out += rest;
        out += '*';
      }
      out += letters[col];
    }
    if (!translationFirst && t != 0) {
      if (out.size() > rowStart && trText[0] != '-') out += '+';
      out += trText;
    }
    if (out.size() > kMaxXyzText) return std::nullopt;
  }
  return out;
}

SymmetryOperator toSymmetryOperator(const SeitzMx& op) {
  SymmetryOperator s;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      s.rotation[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
          static_cast<float>(op.rotation[static_cast<std::size_t>(i * 3 + j)]);
    s.translation[static_cast<std::size_t>(i)] =
        static_cast<float>(op.translation[static_cast<std::size_t>(i)] * 0.08333333333333333);
  }
  return s;
}

}  // namespace tessera

#include "formats/column_records.h"

#include <cctype>
#include <cmath>
#include <stdexcept>

#include "core/text.h"

namespace tessera {

namespace {

class DescriptorParser {
 public:
  explicit DescriptorParser(std::string_view text) : text_(text) {}

  std::vector<ColumnField> run() {
    skipBlanks();
    std::vector<ColumnField> out = group();
    skipBlanks();
    if (at_ != text_.size()) fail();
    return out;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;

  [[noreturn]] void fail() const { throw std::invalid_argument("bad column descriptor: " + std::string(text_)); }
  void skipBlanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }
  bool peek(char c) {
    skipBlanks();
    return at_ < text_.size() && text_[at_] == c;
  }
  int number() {
    skipBlanks();
    int n = 0;
    const std::size_t start = at_;
    while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_])) && n < 10000)
      n = n * 10 + (text_[at_++] - '0');
    return at_ == start ? -1 : n;
  }
  /// "(" item {"," item} ")"
  std::vector<ColumnField> group() {
    if (!peek('(')) fail();
    ++at_;
    std::vector<ColumnField> out;
    for (;;) {
      const std::vector<ColumnField> item = this->item();
      out.insert(out.end(), item.begin(), item.end());
      if (peek(',')) {
        ++at_;
        continue;
      }
      if (peek(')')) {
        ++at_;
        return out;
      }
      fail();
    }
  }
  std::vector<ColumnField> item() {
    const int count = number();
    if (peek('(')) {
      const std::vector<ColumnField> inner = group();
      std::vector<ColumnField> out;
      for (int k = 0; k < (count < 0 ? 1 : count); ++k) out.insert(out.end(), inner.begin(), inner.end());
      return out;
    }
    skipBlanks();
    if (at_ >= text_.size()) fail();
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_++])));
    if (kind == 'X') {
      if (count < 1) fail();
      return {ColumnField{'X', count, 0}};
    }
    if (kind != 'A' && kind != 'I' && kind != 'F') fail();
    ColumnField f{kind, number(), 0};
    if (f.width < 1) fail();
    if (kind == 'F') {
      if (!peek('.')) fail();
      ++at_;
      f.decimals = number();
      if (f.decimals < 0) fail();
    }
    return std::vector<ColumnField>(static_cast<std::size_t>(count < 0 ? 1 : count), f);
  }
};

}  // namespace

std::vector<ColumnField> parseColumnDescriptor(std::string_view descriptor) {
  return DescriptorParser(descriptor).run();
}

std::optional<std::vector<ColumnValue>> readColumnRecord(std::string_view line,
                                                         const std::vector<ColumnField>& fields) {
  std::vector<ColumnValue> out;
  std::size_t at = 0;
  for (const ColumnField& f : fields) {
    const std::size_t width = static_cast<std::size_t>(f.width);
    const std::string_view columns = at < line.size() ? line.substr(at, width) : std::string_view();
    at += width;
    if (f.kind == 'X') continue;
    ColumnValue v;
    if (f.kind == 'A') {
      v.text = std::string(columns);
    } else {
      // Fortran reads blanks inside a numeric field as nothing and a blank field as zero.
      const std::string digits = removeBlanks(columns);
      if (!digits.empty()) {
        const auto n = f.kind == 'I' ? std::optional<double>() : parseDouble(digits);
        const auto i = f.kind == 'I' ? parseLong(digits) : std::optional<long>();
        if (f.kind == 'I' && !i) return std::nullopt;
        if (f.kind == 'F' && !n) return std::nullopt;
        v.number = f.kind == 'I' ? static_cast<double>(*i) : *n;
      }
    }
    out.push_back(std::move(v));
  }
  return out;
}

std::string fixedReal(double value, int width, int decimals) {
  const std::size_t w = static_cast<std::size_t>(width);
  if (!std::isfinite(value)) value = 0.0;
  for (int d = decimals; d >= 0; --d) {
    std::string text = format("%*.*f", width, d, value);
    if (text.size() <= w) return text;
    // "-0.001234" as "-.001234": the same value, one column less.
    const std::size_t zero = text.find("0.");
    if (zero != std::string::npos && (zero == 0 || text[zero - 1] == '-' || text[zero - 1] == ' ')) {
      text.erase(zero, 1);
      if (text.size() <= w) return text;
    }
  }
  for (int d = std::max(0, width - 6); d >= 0; --d) {
    const std::string text = format("%*.*E", width, d, value);
    if (text.size() <= w) return text;
  }
  return std::string(w, '*');
}

}  // namespace tessera

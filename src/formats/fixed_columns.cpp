#include "formats/fixed_columns.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "core/text.h"

namespace tessera {

namespace {

/// Longest record a descriptor may describe: keeps a hostile repeat count bounded.
constexpr std::size_t kMaxRecordWidth = 100000;

class DescriptorParser {
 public:
  explicit DescriptorParser(std::string_view text) : text_(text) {}

  bool parse(std::vector<FixedLayout::Column>& out, std::size_t& width) {
    skipBlanks();
    if (peek() == '(') {
      ++pos_;
      if (!list(out, width, ')')) return false;
    } else if (!list(out, width, '\0')) {
      return false;
    }
    skipBlanks();
    return pos_ == text_.size();
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;

  char peek() const {
    return pos_ < text_.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(text_[pos_]))) : '\0';
  }
  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  std::optional<std::size_t> count() {
    std::size_t n = 0;
    bool any = false;
    while (std::isdigit(static_cast<unsigned char>(peek()))) {
      n = n * 10 + static_cast<std::size_t>(peek() - '0');
      if (n > kMaxRecordWidth) return std::nullopt;
      ++pos_;
      any = true;
    }
    return any ? std::optional<std::size_t>(n) : std::optional<std::size_t>(0);
  }

  /// Items separated by commas up to the closing character.
  bool list(std::vector<FixedLayout::Column>& out, std::size_t& width, char close) {
    for (;;) {
      skipBlanks();
      if (!item(out, width)) return false;
      skipBlanks();
      if (peek() == ',') {
        ++pos_;
        continue;
      }
      if (close == '\0') return true;
      if (peek() != close) return false;
      ++pos_;
      return true;
    }
  }

  bool item(std::vector<FixedLayout::Column>& out, std::size_t& width) {
    const auto repeat = count();
    if (!repeat) return false;
    const std::size_t times = *repeat == 0 ? 1 : *repeat;
    skipBlanks();
    if (peek() == '(') {
      ++pos_;
      std::vector<FixedLayout::Column> group;
      std::size_t groupWidth = 0;
      if (!list(group, groupWidth, ')')) return false;
      for (std::size_t t = 0; t < times; ++t) {
        for (FixedLayout::Column c : group) {
          c.start += width;
          out.push_back(c);
        }
        width += groupWidth;
        if (width > kMaxRecordWidth) return false;
      }
      return true;
    }
    char kind = peek();
    if (kind == 'E' || kind == 'D' || kind == 'G') kind = 'F';
    if (kind != 'A' && kind != 'I' && kind != 'F' && kind != 'X') return false;
    ++pos_;
    std::size_t fieldWidth = 1;
    int decimals = 0;
    if (kind == 'X') {
      // "3X" and "X3" both skip three columns.
      const auto w = count();
      if (!w) return false;
      fieldWidth = (*w > 0 ? *w : 1) * times;
      out.push_back({'X', width, fieldWidth, 0});
      width += fieldWidth;
      return width <= kMaxRecordWidth;
    }
    const auto w = count();
    if (!w) return false;
    if (*w > 0)
      fieldWidth = *w;
    else if (kind != 'A')
      return false;
    if (peek() == '.') {
      ++pos_;
      const auto d = count();
      if (!d || kind != 'F' || *d > 30) return false;
      decimals = static_cast<int>(*d);
    }
    for (std::size_t t = 0; t < times; ++t) {
      out.push_back({kind, width, fieldWidth, decimals});
      width += fieldWidth;
      if (width > kMaxRecordWidth) return false;
    }
    return true;
  }
};

}  // namespace

std::optional<double> readFixedNumber(std::string_view columns, char kind, int decimals, InnerBlanks blanks) {
  std::string text = blanks == InnerBlanks::Ignored ? removeBlanks(columns) : trim(columns);
  if (text.empty()) return 0.0;
  if (kind == 'I') {
    const auto v = parseLong(text);
    if (!v) return std::nullopt;
    return static_cast<double>(*v);
  }
  for (char& c : text)
    if (c == 'D' || c == 'd') c = 'E';
  const auto v = parseDouble(text);
  if (!v) return std::nullopt;
  const bool hasPoint = text.find('.') != std::string::npos;
  const bool hasExponent = text.find_first_of("eEdD") != std::string::npos;
  if (hasPoint || hasExponent || decimals == 0) return *v;
  return *v / std::pow(10.0, decimals);
}

std::optional<FixedLayout> FixedLayout::parse(std::string_view descriptor) {
  FixedLayout layout;
  DescriptorParser parser(descriptor);
  if (!parser.parse(layout.columns_, layout.width_)) return std::nullopt;
  for (const Column& c : layout.columns_)
    if (c.kind != 'X') ++layout.fieldCount_;
  return layout;
}

FixedLayout::FixedLayout(std::string_view descriptor) {
  auto parsed = parse(descriptor);
  if (!parsed) throw std::invalid_argument("malformed field descriptor: " + std::string(descriptor));
  *this = std::move(*parsed);
}

FixedRecord FixedLayout::read(std::string_view line, InnerBlanks blanks) const {
  FixedRecord record;
  record.fields.reserve(fieldCount_);
  for (const Column& c : columns_) {
    if (c.kind == 'X') continue;
    FixedField f;
    f.kind = c.kind;
    f.present = c.start < line.size();
    const std::string_view columns = f.present ? line.substr(c.start, c.width) : std::string_view();
    if (c.kind == 'A') {
      f.text = std::string(columns);
    } else {
      f.text = removeBlanks(columns);
      const auto v = readFixedNumber(columns, c.kind, c.decimals, blanks);
      f.valid = v.has_value();
      f.number = v.value_or(0.0);
    }
    record.fields.push_back(std::move(f));
  }
  std::size_t last = 0;
  for (const Column& c : columns_)
    if (c.kind != 'X') last = c.start + c.width;
  record.complete = line.size() >= last;
  return record;
}

bool FixedRecord::valid() const { return firstInvalid() < 0; }

int FixedRecord::firstInvalid() const {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!fields[i].valid) return static_cast<int>(i);
  return -1;
}

const std::string& FixedRecord::text(std::size_t i) const {
  static const std::string kEmpty;
  return i < fields.size() ? fields[i].text : kEmpty;
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

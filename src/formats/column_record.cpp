#include "formats/column_record.h"

#include <cctype>
#include <cmath>

#include "core/text.h"
#include "formats/text_input.h"

namespace tessera {

namespace {

/// Reads an unsigned decimal at text[i]; nullopt when there is none or it is too large.
std::optional<std::size_t> readCount(std::string_view text, std::size_t& i) {
  std::size_t n = 0;
  const std::size_t from = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    n = n * 10 + static_cast<std::size_t>(text[i] - '0');
    if (n > 1000) return std::nullopt;
    ++i;
  }
  if (i == from) return std::nullopt;
  return n;
}

/// A Fortran real: blanks ignored, D exponents as E, implied decimals without a point.
std::optional<double> fortranReal(std::string_view columns, int decimals) {
  std::string t;
  for (char c : columns)
    if (c != ' ' && c != '\t') t.push_back(c == 'D' || c == 'd' ? 'E' : c);
  const auto v = parseDouble(t);
  if (!v || !std::isfinite(*v)) return std::nullopt;
  if (t.find('.') == std::string::npos && decimals > 0) return *v / std::pow(10.0, decimals);
  return v;
}

}  // namespace

std::optional<ColumnLayout> ColumnLayout::parse(std::string_view descriptor) {
  ColumnLayout layout;
  const std::string text = trim(descriptor);
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return std::nullopt;
  const std::string_view d = std::string_view(text).substr(1, text.size() - 2);
  std::size_t column = 0;
  std::size_t i = 0;
  while (i < d.size()) {
    while (i < d.size() && (d[i] == ' ' || d[i] == ',')) ++i;
    if (i >= d.size()) break;
    std::size_t repeat = 1;
    if (std::isdigit(static_cast<unsigned char>(d[i]))) {
      const auto n = readCount(d, i);
      if (!n || *n == 0) return std::nullopt;
      repeat = *n;
    }
    if (i >= d.size()) return std::nullopt;
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(d[i++])));
    if (kind == 'X') {
      column += repeat;
      continue;
    }
    if (kind != 'A' && kind != 'I' && kind != 'F' && kind != 'G') return std::nullopt;
    const auto width = readCount(d, i);
    if (!width || *width == 0) return std::nullopt;
    int decimals = 0;
    if (i < d.size() && d[i] == '.') {
      ++i;
      const auto dec = readCount(d, i);
      if (!dec) return std::nullopt;
      decimals = static_cast<int>(*dec);
    }
    for (std::size_t r = 0; r < repeat; ++r) {
      layout.fields.push_back({kind == 'G' ? 'F' : kind, column, *width, decimals});
      column += *width;
    }
  }
  return layout;
}

bool readColumns(const ColumnLayout& layout, std::string_view line, std::vector<ColumnValue>& values) {
  values.assign(layout.fields.size(), ColumnValue{});
  bool ok = true;
  for (std::size_t k = 0; k < layout.fields.size(); ++k) {
    const ColumnField& f = layout.fields[k];
    const std::string_view columns = f.start < line.size() ? line.substr(f.start, f.width) : std::string_view();
    ColumnValue& v = values[k];
    v.text = std::string(columns);
    v.blank = trim(columns).empty();
    if (f.kind == 'A' || v.blank) continue;
    // An integer field takes digits and a sign only.
    const bool integerText = trim(columns).find_first_of(".EeDd") == std::string::npos;
    const auto number = fortranReal(columns, f.kind == 'I' ? 0 : f.decimals);
    if (!number || (f.kind == 'I' && !integerText)) {
      ok = false;
      continue;
    }
    v.number = *number;
    v.isNumber = true;
  }
  return ok;
}

}  // namespace tessera

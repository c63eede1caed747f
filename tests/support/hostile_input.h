#pragma once
// Hostile input for the readers: random bytes, and imports that must end in a
// finished or a refused import without a crash or a stray document.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/test_session.h"

namespace tessera::test {

/// n pseudo-random bytes.
inline std::string randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xff);
  return s;
}

/// Imports each input as a file of the kind: a finished import opens its document with
/// sane sites; with saysWhy a refused one has shown a message or asked a question.
inline void importEach(int kind, const std::vector<std::string>& inputs, bool saysWhy = false) {
  ScratchDir dir;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    writeFile(dir.path() / "bad.txt", inputs[i]);
    TestSession s;
    const bool ok = s.import(kind, dir.path() / "bad.txt");
    EXPECT_EQ(ok, s.document.isOpen);
    if (saysWhy && !ok) {
      EXPECT_FALSE(s.ui.messages().empty() && s.ui.questions().empty());
    }
    if (!ok) continue;
    for (const Site& site : s.document.sites[0]) {
      EXPECT_LE(site.label.size(), kMaxLabelLength);
      EXPECT_GE(site.occupantCount(), 1);
      EXPECT_LE(site.occupantCount(), kMaxOccupants);
    }
  }
}

}  // namespace tessera::test

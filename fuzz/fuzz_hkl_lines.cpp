// HKL list transformation of arbitrary text. The first nine bytes choose the matrix
// (entries -2 .. 2 in thirds, as the standard matrices hold); the rest is the list.
// fuzz-seeds: hkl
#include <array>

#include "core/crystal_document.h"
#include "fuzz_support.h"
#include "transform/hkl_transform.h"
#include "transform/transform_parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  if (size < 9) return 0;
  Matrix3f matrix{};
  for (int i = 0; i < 9; ++i) {
    const int step = static_cast<int>(data[i] % 13) - 6;  // -6 .. 6 thirds
    matrix[static_cast<std::size_t>(i / 3)][static_cast<std::size_t>(i % 3)] = static_cast<float>(step) / 3.0f;
  }
  transformHklText(fuzz::asText(data + 9, size - 9), matrix);
  return 0;
}

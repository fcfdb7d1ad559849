// The continuity (Loomvantage) summary of one file whose bytes are the input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "wiring_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  namespace fuzz = cordshift::fuzz;
  static const fuzz::ScratchFolder scratch("continuity-summary");
  // Kept from input to input, as the window keeps it from file to file.
  static cordshift::WiringWorkspace workspace;
  fuzz::SummarizeOneFile(fuzz::Side::kContinuity, scratch.path(),
                         fuzz::AsText(data, size), workspace);
  return 0;
}

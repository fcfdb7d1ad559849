// ConvertFolderToHipot of a folder holding one continuity file (and
// optionally its comment file), both taken from the input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "wiring_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  namespace fuzz = cordshift::fuzz;
  static const fuzz::ScratchFolder scratch("convert-to-hipot");
  static cordshift::WiringWorkspace workspace;
  fuzz::ConvertOneFile(fuzz::Side::kContinuity, scratch.path(),
                       fuzz::AsText(data, size), workspace);
  return 0;
}

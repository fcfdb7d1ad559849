// ConvertFolderToContinuity of a folder holding one hipot file (and
// optionally its comment file), both taken from the input.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "wiring_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  namespace fuzz = cordshift::fuzz;
  static const fuzz::ScratchFolder scratch("convert-to-continuity");
  static cordshift::WiringWorkspace workspace;
  fuzz::ConvertOneFile(fuzz::Side::kHipot, scratch.path(),
                       fuzz::AsText(data, size), workspace);
  return 0;
}

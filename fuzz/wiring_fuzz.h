#ifndef CORDSHIFT_FUZZ_WIRING_FUZZ_H_
#define CORDSHIFT_FUZZ_WIRING_FUZZ_H_

// The bodies of the summary and conversion fuzz targets, shared by the two
// sides.

#include <filesystem>
#include <string_view>

#include "wiring/wiring_workspace.h"

namespace cordshift::fuzz {

enum class Side { kContinuity, kHipot };

// Writes `bytes` as the one wiring file of `folder`, summarises it the way
// `side` reads files and checks what the summary claims against the bytes.
void SummarizeOneFile(Side side, const std::filesystem::path& folder,
                      std::string_view bytes, WiringWorkspace& workspace);

// The input of a conversion target: one options byte, the wiring file, and
// optionally kCompanionSeparator followed by the companion comment file.
inline constexpr std::string_view kCompanionSeparator{"\0INI\0", 5};

// Converts the input's wiring file, read as `source_side`, into the other
// layout the way a run converts one folder, and checks that nothing partial
// is left, the source is untouched and a written file reads back with the
// counts the conversion reported.
void ConvertOneFile(Side source_side, const std::filesystem::path& scratch,
                    std::string_view input, WiringWorkspace& workspace);

}  // namespace cordshift::fuzz

#endif  // CORDSHIFT_FUZZ_WIRING_FUZZ_H_

#ifndef CORDSHIFT_PLATFORM_EXECUTABLE_H_
#define CORDSHIFT_PLATFORM_EXECUTABLE_H_

#include <filesystem>

namespace cordshift {

// Full path of the running executable; empty when it cannot be found.
std::filesystem::path ExecutablePath();

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_EXECUTABLE_H_

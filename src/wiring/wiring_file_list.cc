#include "wiring/wiring_file_list.h"

#include <utility>

namespace cordshift {

void WiringFileList::Clear() {
  Count = 0;
  Names.clear();
  Paths.clear();
  Extensions.clear();
  ResetSummaries();
}

void WiringFileList::Add(std::string name, std::string path,
                         std::string extension) {
  Names.push_back(std::move(name));
  Paths.push_back(std::move(path));
  Extensions.push_back(std::move(extension));
  ++Count;
  Circuits.push_back(0);
  Terminals.push_back(0);
  SingleEnded.push_back(0);
  MaxTerminal.emplace_back();
}

void WiringFileList::ResetSummaries() {
  const auto size = static_cast<std::size_t>(Count);
  Circuits.assign(size, 0);
  Terminals.assign(size, 0);
  SingleEnded.assign(size, 0);
  MaxTerminal.assign(size, std::string());
}

std::string WiringFileList::WiringPath(int l) const {
  const std::string& extension = Extensions[Index(l)];
  return Paths[Index(l)] + (extension.empty() ? kWiringExtension : extension);
}

std::string WiringFileList::CompanionPath(int l) const {
  return Paths[Index(l)] + kCompanionExtension;
}

}  // namespace cordshift

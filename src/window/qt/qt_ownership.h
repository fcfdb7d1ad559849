#ifndef CORDSHIFT_WINDOW_QT_QT_OWNERSHIP_H_
#define CORDSHIFT_WINDOW_QT_QT_OWNERSHIP_H_

// Widgets, items and helper objects belong to the Qt object they are created
// under, which deletes them with itself.

#include <memory>
#include <utility>

namespace cordshift {

// Creates an object whose constructor arguments name its Qt owner (a parent
// widget, a tree widget for an item) and hands it over to that owner.
template <typename T, typename... Args>
T* CreateOwned(Args&&... args) {
  return std::make_unique<T>(std::forward<Args>(args)...).release();
}

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_QT_OWNERSHIP_H_

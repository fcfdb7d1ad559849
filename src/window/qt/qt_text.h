#ifndef CORDSHIFT_WINDOW_QT_QT_TEXT_H_
#define CORDSHIFT_WINDOW_QT_QT_TEXT_H_

// The core's texts are UTF-8; the toolkit's are QString.

#include <QString>
#include <string>
#include <string_view>

namespace cordshift {

inline QString ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_QT_TEXT_H_

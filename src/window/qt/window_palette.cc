#include "window/qt/window_palette.h"

#include <QAbstractButton>
#include <QColor>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QObject>
#include <QRadioButton>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "window/qt/main_window_layout.h"
#include "window/qt/qt_ownership.h"
#include "window/qt/qt_text.h"
#include "window/qt/window_pictures.h"

namespace cordshift {
namespace {

Rgb RgbOf(const QColor& colour) {
  return {static_cast<std::uint8_t>(colour.red()),
          static_cast<std::uint8_t>(colour.green()),
          static_cast<std::uint8_t>(colour.blue())};
}

QColor QColorOf(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

using RoleColours = std::initializer_list<std::pair<QPalette::ColorRole, Rgb>>;

// Sets only what differs: each change makes the widget repaint and tells
// it of a palette change.
void SetRoles(QWidget& widget, RoleColours roles) {
  QPalette palette = widget.palette();
  bool changed = false;
  for (const auto& [role, rgb] : roles) {
    if (palette.color(role) == QColorOf(rgb) &&
        palette.isBrushSet(QPalette::Active, role)) {
      continue;
    }
    palette.setColor(role, QColorOf(rgb));
    changed = true;
  }
  if (changed) widget.setPalette(palette);
}

void ColourControl(QWidget& widget, const LayoutControl& entry,
                   const WindowColours& colours) {
  const ControlColours shown = colours.Of(entry);
  switch (entry.kind) {
    case ControlKind::kTextBox:
    case ControlKind::kReportList:
      SetRoles(widget, {{QPalette::Base, shown.background},
                        {QPalette::Text, shown.text}});
      return;
    case ControlKind::kShape:
      SetRoles(widget, {{QPalette::Window, shown.background},
                        {QPalette::WindowText,
                         colours.BorderOf(entry).value_or(shown.background)}});
      widget.setAutoFillBackground(true);
      return;
    case ControlKind::kButton:
      // Buttons keep the palette's button colours, a matching pair.
      return;
    case ControlKind::kPicture:
      if (auto* picture = qobject_cast<QLabel*>(&widget)) {
        picture->setPixmap(DrawArrowPicture(QColorOf(colours.Face().text)));
      }
      return;
    case ControlKind::kFrame:
    case ControlKind::kLabel:
    case ControlKind::kCheckBox:
    case ControlKind::kOption:
      break;
  }
  SetRoles(widget, {{QPalette::Window, shown.background},
                    {QPalette::WindowText, shown.text}});
  // A button would fill with the button colour.
  widget.setBackgroundRole(QPalette::Window);
  // Others let the band below them show.
  widget.setAutoFillBackground(entry.fill.has_value());
}

class PaletteFollower : public QObject {
 public:
  PaletteFollower(QWidget& window, const MainWindowControls& controls)
      : QObject(&window),
        window_(window),
        options_(controls.direction_options) {
    for (std::size_t i = 0; i < options_.size(); ++i) {
      option_entries_[i] = FindControl(ToUtf8(options_[i]->objectName()));
      behaviour_text_[i] = colours_.Of(*option_entries_[i]).text;
      options_[i]->installEventFilter(this);
      connect(options_[i], &QAbstractButton::toggled, this,
              [this, i] { ColourOption(i); });
    }
    window_.installEventFilter(this);
    Follow();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ApplicationPaletteChange &&
        watched == &window_) {
      Follow();
    } else if (event->type() == QEvent::PaletteChange) {
      for (std::size_t i = 0; i < options_.size(); ++i) {
        if (watched != options_[i]) continue;
        // A text colour other than the one set here is the behaviour's.
        const Rgb text =
            RgbOf(options_[i]->palette().color(QPalette::WindowText));
        if (text == shown_text_[i]) continue;
        behaviour_text_[i] = text;
        ColourOption(i);
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Follow() {
    colours_ = ColoursFor(QGuiApplication::palette());
    const ControlColours face = colours_.Face();
    SetRoles(window_, {{QPalette::Window, face.background},
                       {QPalette::WindowText, face.text}});
    for (const LayoutControl& entry : MainWindowLayout()) {
      auto* widget = window_.findChild<QWidget*>(ToQString(entry.name));
      if (widget == nullptr) continue;
      const auto option = std::find(options_.begin(), options_.end(), widget);
      if (option == options_.end()) {
        ColourControl(*widget, entry, colours_);
      } else {
        ColourOption(static_cast<std::size_t>(option - options_.begin()));
      }
    }
  }

  void ColourOption(std::size_t i) {
    const ControlColours shown = colours_.OfOption(
        *option_entries_[i], behaviour_text_[i], options_[i]->isChecked());
    shown_text_[i] = shown.text;
    SetRoles(*options_[i], {{QPalette::Window, shown.background},
                            {QPalette::WindowText, shown.text}});
    options_[i]->setBackgroundRole(QPalette::Window);
    options_[i]->setAutoFillBackground(shown.background !=
                                       colours_.Face().background);
  }

  QWidget& window_;
  std::array<QRadioButton*, 2> options_;
  std::array<const LayoutControl*, 2> option_entries_{};
  // The text colour the behaviour gave each direction option last, and
  // the one it is shown in.
  std::array<Rgb, 2> behaviour_text_{};
  std::array<Rgb, 2> shown_text_{};
  WindowColours colours_;
};

}  // namespace

SystemColours SystemColoursOf(const QPalette& palette) {
  return {RgbOf(palette.color(QPalette::Window)),
          RgbOf(palette.color(QPalette::WindowText)),
          RgbOf(palette.color(QPalette::Base)),
          RgbOf(palette.color(QPalette::Text)),
          RgbOf(palette.color(QPalette::Highlight)),
          RgbOf(palette.color(QPalette::HighlightedText))};
}

WindowColours ColoursFor(const QPalette& palette) {
  const SystemColours system = SystemColoursOf(palette);
  return WindowColours(SuitsLayoutColours(system) ? ColourScheme::kLayout
                                                  : ColourScheme::kSystem,
                       system);
}

void FollowApplicationPalette(QWidget& window,
                              const MainWindowControls& controls) {
  CreateOwned<PaletteFollower>(window, controls);
}

}  // namespace cordshift

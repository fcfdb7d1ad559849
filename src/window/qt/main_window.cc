#include "window/qt/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QModelIndex>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "window/qt/folder_drop.h"
#include "window/qt/list_rows_model.h"
#include "window/qt/qt_ownership.h"
#include "window/qt/qt_text.h"

namespace cordshift {
namespace {

void SetTextColour(QWidget* widget, Rgb rgb) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QColor(rgb.red, rgb.green, rgb.blue));
  widget->setPalette(palette);
}

std::size_t IndexOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? 0 : 1;
}

}  // namespace

void QtDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

// A timer belongs to the thread that starts it, so the window's thread
// starts it.
void QtDispatcher::PostAfter(std::chrono::milliseconds delay,
                             std::function<void()> task) {
  Post([this, delay, task = std::move(task)]() mutable {
    QTimer::singleShot(delay, &context_, std::move(task));
  });
}

void QtDispatcher::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

MainWindow::MainWindow(WindowSetup setup, WindowDialogs& dialogs,
                       QWidget* parent)
    : QWidget(parent),
      controller_(std::move(setup), *this, dialogs, dispatcher_) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainWindowControls(*this, *this);
  SetupListColumns();
  ConnectHandlers();
  AcceptFolderDrops();
}

MainWindow::~MainWindow() = default;

bool MainWindow::Load() { return controller_.Start(); }

void MainWindow::ConnectHandlers() {
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    connect(buttons[i], &QPushButton::clicked, this,
            [this, i] { OnButtonClicked(static_cast<int>(i)); });
  }
  connect(direction_group, &QButtonGroup::idClicked, this,
          [this](int index) { OnDirectionClicked(index); });
  connect(notation_group, &QButtonGroup::idClicked, this,
          [this](int index) { OnNotationClicked(index); });
}

void MainWindow::AcceptFolderDrops() {
  const auto accepting = [this] {
    return controller_.Started() && !controller_.Busy();
  };
  const auto source = [this](const std::string& folder) {
    ChooseDroppedFolder(ListId::kSource, folder);
  };
  const auto destination = [this](const std::string& folder) {
    ChooseDroppedFolder(ListId::kDestination, folder);
  };
  CreateOwned<FolderDropTarget>(*source_folder_label, accepting, source);
  CreateOwned<FolderDropTarget>(*source_list->viewport(), accepting, source);
  CreateOwned<FolderDropTarget>(*destination_folder_label, accepting,
                                destination);
  CreateOwned<FolderDropTarget>(*destination_list->viewport(), accepting,
                                destination);
}

void MainWindow::OnButtonClicked(int index) {
  switch (index) {
    case 0:
      controller_.PickFolder(ListId::kSource);
      break;
    case 1:
      controller_.PickFolder(ListId::kDestination);
      break;
    case 2:
      controller_.Run(Form());
      break;
    case 3:
      RequestClose(CloseWay::kCloseButton);
      break;
    default:
      break;
  }
}

void MainWindow::OnDirectionClicked(int index) {
  controller_.ChooseDirection(index == 0 ? Direction::kContinuityToHipot
                                         : Direction::kHipotToContinuity);
}

void MainWindow::OnNotationClicked(int index) {
  controller_.ChooseNotation(index == 0 ? Notation::kAb
                                        : Notation::kSequential);
}

void MainWindow::ChooseDroppedFolder(ListId side, const std::string& folder) {
  controller_.DropFolder(side, folder);
}

void MainWindow::RequestClose(CloseWay way) {
  if (controller_.Close(way, Form())) close();
}

// The title bar's close, and the close that the close button's approval
// starts (the controller then answers at once).
void MainWindow::closeEvent(QCloseEvent* event) {
  if (controller_.Close(CloseWay::kTitleBar, Form())) {
    event->accept();
  } else {
    event->ignore();
  }
}

FormValues MainWindow::Form() const {
  return {ToUtf8(model_name_box->text()), ToUtf8(lower_limit_box->text()),
          ToUtf8(upper_limit_box->text()),
          overwrite_box->checkState() != Qt::Unchecked};
}

void MainWindow::SetupListColumns() {
  QStringList headers;
  const std::span<const ListColumn> columns = ListColumns();
  for (const ListColumn& column : columns) {
    headers << ToQString(column.header);
  }
  for (QTreeView* list : {source_list, destination_list}) {
    list->setModel(CreateOwned<ListRowsModel>(headers, list));
    list->installEventFilter(this);
    for (std::size_t i = 0; i < columns.size(); ++i) {
      list->setColumnWidth(static_cast<int>(i),
                           TwipsToPixels(columns[i].width_twips));
    }
  }
}

void MainWindow::ShowTitle(std::string_view title) {
  setWindowTitle(ToQString(title));
}

void MainWindow::ShowFolder(ListId side, std::string_view folder) {
  (side == ListId::kSource ? source_folder_label : destination_folder_label)
      ->setText(ToQString(folder));
}

void MainWindow::ShowDirection(Direction direction,
                               const DirectionTexts& texts) {
  direction_options[IndexOf(direction)]->setChecked(true);
  for (QRadioButton* option : notation_options)
    option->setVisible(texts.shows_notation);
  buttons[2]->setText(QString::fromUtf8(texts.run_caption));
  SetTextColour(direction_options[0], texts.continuity_option_colour);
  SetTextColour(direction_options[1], texts.hipot_option_colour);
  source_title_label->setText(QString::fromUtf8(texts.source_title));
  destination_title_label->setText(QString::fromUtf8(texts.destination_title));
}

void MainWindow::ShowNotation(Notation notation) {
  notation_options[notation == Notation::kAb ? 0 : 1]->setChecked(true);
}

void MainWindow::ShowForm(const FormValues& form) {
  model_name_box->setText(ToQString(form.model_name));
  lower_limit_box->setText(ToQString(form.lower));
  upper_limit_box->setText(ToQString(form.upper));
  overwrite_box->setChecked(form.overwrite);
}

void MainWindow::ShowGuide(std::string_view text) {
  // The guidance text separates its lines with a lone carriage return.
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  guide_label->setText(shown);
  guide_label->repaint();
}

ListRowsModel* MainWindow::ModelOf(ListId list) const {
  return static_cast<ListRowsModel*>(
      (list == ListId::kSource ? source_list : destination_list)->model());
}

void MainWindow::ShowList(ListId list, std::shared_ptr<const ListRows> rows) {
  ModelOf(list)->SetRows(std::move(rows));
  MarkListFocus(list == ListId::kSource ? source_list : destination_list);
}

// A list marks the focus on its current row only, and a list shown afresh
// has none: with the focus, its first row becomes current (not selected),
// so that a keyboard user sees where Tab went.
void MainWindow::MarkListFocus(QTreeView* list) {
  if (focusWidget() != list || list->currentIndex().isValid()) return;
  const QModelIndex first = list->model()->index(0, 0);
  if (first.isValid()) {
    list->selectionModel()->setCurrentIndex(first,
                                            QItemSelectionModel::NoUpdate);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn &&
      (watched == source_list || watched == destination_list)) {
    MarkListFocus(static_cast<QTreeView*>(watched));
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::SetConvertedCount(std::string_view caption) {
  count_label->setText(ToQString(caption));
}

// Everything that would start a listing or a second run waits for the
// work in progress.
// A widget disabled with the focus hands it to the next one, wherever that
// is: the focus waits on the source list, which stays enabled, and goes
// back when the work is done unless the user has moved it meanwhile.
void MainWindow::SetBusy(bool busy) {
  std::vector<QWidget*> waiting = {buttons[0], buttons[1], buttons[2]};
  waiting.insert(waiting.end(), direction_options.begin(),
                 direction_options.end());
  waiting.insert(waiting.end(), notation_options.begin(),
                 notation_options.end());
  if (busy && std::find(waiting.begin(), waiting.end(), focusWidget()) !=
                  waiting.end()) {
    focus_before_busy_ = focusWidget();
    source_list->setFocus(Qt::OtherFocusReason);
    MarkListFocus(source_list);
  }
  for (QWidget* widget : waiting) widget->setEnabled(!busy);
  if (!busy && focus_before_busy_ != nullptr) {
    if (focusWidget() == source_list || focusWidget() == nullptr) {
      focus_before_busy_->setFocus(Qt::OtherFocusReason);
    }
    focus_before_busy_ = nullptr;
  }
}

}  // namespace cordshift

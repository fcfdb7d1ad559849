#include "window/qt/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTreeView>
#include <span>
#include <utility>

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

bool MainWindow::Form_Load() { return controller_.Start(); }

void MainWindow::ConnectHandlers() {
  for (std::size_t i = 0; i < btnFunc.size(); ++i) {
    connect(btnFunc[i], &QPushButton::clicked, this,
            [this, i] { btnFunc_Click(static_cast<int>(i)); });
  }
  connect(optSelGroup, &QButtonGroup::idClicked, this,
          [this](int index) { optSel_Click(index); });
  connect(optABGroup, &QButtonGroup::idClicked, this,
          [this](int index) { optAB_Click(index); });
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
  CreateOwned<FolderDropTarget>(*lblSrc, accepting, source);
  CreateOwned<FolderDropTarget>(*lvSrc->viewport(), accepting, source);
  CreateOwned<FolderDropTarget>(*lblDst, accepting, destination);
  CreateOwned<FolderDropTarget>(*lvDst->viewport(), accepting, destination);
}

void MainWindow::btnFunc_Click(int index) {
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

void MainWindow::optSel_Click(int index) {
  controller_.ChooseDirection(index == 0 ? Direction::kContinuityToHipot
                                         : Direction::kHipotToContinuity);
}

void MainWindow::optAB_Click(int index) {
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
  return {ToUtf8(txtKisyu->text()), ToUtf8(txtDL->text()),
          ToUtf8(txtDU->text()), chkOverWrite->checkState() != Qt::Unchecked};
}

void MainWindow::SetupListColumns() {
  QStringList headers;
  const std::span<const ListColumn> columns = ListColumns();
  for (const ListColumn& column : columns) {
    headers << ToQString(column.header);
  }
  for (QTreeView* list : {lvSrc, lvDst}) {
    list->setModel(CreateOwned<ListRowsModel>(headers, list));
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
  (side == ListId::kSource ? lblSrc : lblDst)->setText(ToQString(folder));
}

void MainWindow::ShowDirection(Direction direction,
                               const DirectionTexts& texts) {
  optSel[IndexOf(direction)]->setChecked(true);
  for (QRadioButton* option : optAB) option->setVisible(texts.shows_notation);
  btnFunc[2]->setText(QString::fromUtf8(texts.run_caption));
  SetTextColour(optSel[0], texts.continuity_option_colour);
  SetTextColour(optSel[1], texts.hipot_option_colour);
  lblSrcTitle->setText(QString::fromUtf8(texts.source_title));
  lblDstTitle->setText(QString::fromUtf8(texts.destination_title));
}

void MainWindow::ShowNotation(Notation notation) {
  optAB[notation == Notation::kAb ? 0 : 1]->setChecked(true);
}

void MainWindow::ShowForm(const FormValues& form) {
  txtKisyu->setText(ToQString(form.model_name));
  txtDL->setText(ToQString(form.lower));
  txtDU->setText(ToQString(form.upper));
  chkOverWrite->setChecked(form.overwrite);
}

void MainWindow::ShowGuide(std::string_view text) {
  // The guidance text separates its lines with a lone carriage return.
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  lblGuide->setText(shown);
  lblGuide->repaint();
}

ListRowsModel* MainWindow::ModelOf(ListId list) const {
  return static_cast<ListRowsModel*>(
      (list == ListId::kSource ? lvSrc : lvDst)->model());
}

void MainWindow::ShowList(ListId list, std::shared_ptr<const ListRows> rows) {
  ModelOf(list)->SetRows(std::move(rows));
}

void MainWindow::SetConvertedCount(std::string_view caption) {
  lblKensu->setText(ToQString(caption));
}

// Everything that would start a listing or a second run waits for the
// work in progress.
void MainWindow::SetBusy(bool busy) {
  for (std::size_t i = 0; i < 3; ++i) btnFunc[i]->setEnabled(!busy);
  for (QRadioButton* option : optSel) option->setEnabled(!busy);
  for (QRadioButton* option : optAB) option->setEnabled(!busy);
}

}  // namespace cordshift

#include "window/qt/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <exception>
#include <utility>

#include "batch/conversion_run.h"
#include "batch/folder_listing.h"
#include "platform/folder_path.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "window/direction_texts.h"
#include "window/qt/folder_drop.h"
#include "window/qt/qt_ownership.h"
#include "window/qt/qt_text.h"

namespace cordshift {
namespace {

constexpr char kSettingsLoadFailedText[] =
    "システム設定の読み込みが出来ませんでした";
// Shown under the run's progress once the user has asked to close.
constexpr char kClosePendingHint[] = "（変換が終わるとウィンドウを閉じます）";

struct ListColumn {
  const char* header;
  int width_twips;
};

constexpr std::array<ListColumn, 6> kListColumns = {{
    {"No.", 700},
    {"品名", 3000},
    {"回路数", 780},
    {"端子数", 780},
    {"片端数", 780},
    {"最大端子", 960},
}};

void SetTextColour(QWidget* widget, Rgb rgb) {
  const QColor colour(rgb.red, rgb.green, rgb.blue);
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

std::string TrimmedText(const QLineEdit* box) {
  return std::string(TrimSpaces(ToUtf8(box->text())));
}

bool IsTicked(const QCheckBox* box) {
  return box->checkState() != Qt::Unchecked;
}

}  // namespace

MainWindow::MainWindow(WindowSetup setup, WindowDialogs& dialogs,
                       QWidget* parent)
    : QWidget(parent),
      setup_(std::move(setup)),
      dialogs_(dialogs),
      picker_(dialogs) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainWindowControls(*this, *this);
  ConnectHandlers();
  AcceptFolderDrops();
}

MainWindow::~MainWindow() { run_.WaitWithEvents(); }

bool MainWindow::Form_Load() {
  try {
    return InitMainWindow();
  } catch (const std::exception&) {
    return false;
  }
}

bool MainWindow::InitMainWindow() {
  columns_ready_ = false;
  // The listings' state, with the terminal tables for TableCapacity
  // terminals built once here.
  state_ = std::make_unique<BatchState>();
  store_.emplace(setup_.settings_file, DefaultDataFolder(setup_.executable));
  if (!store_->LoadSettings(settings_)) {
    ShowMessage(kSettingsLoadFailedText, MessageIcon::kStop);
    return false;
  }
  SetupListColumns();
  FillControlsFromSettings();
  SelectDirectionOption(
      settings_.Direction == Direction::kHipotToContinuity ? 1 : 0);
  SelectNotationOption(settings_.ABorSeq == Notation::kSequential ? 1 : 0);
  chkOverWrite->setChecked(settings_.OverWrite);
  ApplyDirection();
  setWindowTitle(ToQString(PathToUtf8(setup_.executable.stem())));
  started_ = true;
  return true;
}

void MainWindow::FillControlsFromSettings() {
  lblSrc->setText(ToQString(settings_.SrcDir));
  lblDst->setText(ToQString(settings_.DstDir));
  txtKisyu->setText(ToQString(settings_.Equipment));
  lblKensu->setText(QStringLiteral("0"));
  txtDL->setText(ToQString(settings_.Lower));
  txtDU->setText(ToQString(settings_.Upper));
}

// Selecting an option from code runs its click handling, as a click does;
// the toolkit only reports clicks by the user.
void MainWindow::SelectDirectionOption(int index) {
  optSel[static_cast<std::size_t>(index)]->setChecked(true);
  optSel_Click(index);
}

void MainWindow::SelectNotationOption(int index) {
  optAB[static_cast<std::size_t>(index)]->setChecked(true);
  optAB_Click(index);
}

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
  const auto accepting = [this] { return !run_.Active(); };
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
  try {
    switch (index) {
      case 0:
        ListSourceFolder(true);
        break;
      case 1:
        ListDestinationFolder(true);
        break;
      case 2:
        StartConversionRun();
        break;
      case 3:
        CloseMainWindow();
        break;
      default:
        break;
    }
  } catch (const std::exception&) {
    // The window stays usable; what failed has shown its own message.
  }
}

void MainWindow::optSel_Click(int index) {
  if (run_.Active()) return;
  try {
    settings_.Direction = index == 0 ? Direction::kContinuityToHipot
                                     : Direction::kHipotToContinuity;
    const DirectionTexts& texts = DirectionTextsOf(settings_.Direction);
    for (QRadioButton* option : optAB) option->setVisible(texts.shows_notation);
    ShowGuide(GuideTextOf(texts));
    ApplyDirection();
    ListSourceFolder(false);
    ListDestinationFolder(false);
  } catch (const std::exception&) {
  }
}

void MainWindow::optAB_Click(int index) {
  if (run_.Active()) return;
  settings_.ABorSeq = index != 0 ? Notation::kSequential : Notation::kAb;
}

void MainWindow::ApplyDirection() {
  const DirectionTexts& texts = DirectionTextsOf(settings_.Direction);
  btnFunc[2]->setText(QString::fromUtf8(texts.run_caption));
  SetTextColour(optSel[0], texts.continuity_option_colour);
  SetTextColour(optSel[1], texts.hipot_option_colour);
  lblSrcTitle->setText(QString::fromUtf8(texts.source_title));
  lblDstTitle->setText(QString::fromUtf8(texts.destination_title));
  SelectNotationOption(settings_.ABorSeq == Notation::kAb ? 0 : 1);
}

void MainWindow::CloseMainWindow() {
  if (run_.Active()) {
    // Taken again from the boxes once the run has ended.
    pending_close_ = PendingClose::kCloseButton;
    ShowGuideLabel();
    return;
  }
  settings_.Equipment = TrimmedText(txtKisyu);
  settings_.OverWrite = IsTicked(chkOverWrite);
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_.Active()) {
    // Closing now would cut a file in half; the run's end closes it.
    if (pending_close_ == PendingClose::kNone) {
      pending_close_ = PendingClose::kSystem;
    }
    ShowGuideLabel();
    event->ignore();
    return;
  }
  Form_Unload();
  event->accept();
}

void MainWindow::Form_Unload() {
  if (!started_ || unloaded_) return;
  unloaded_ = true;
  if (!store_->SaveSettings(settings_, *this)) {
    ShowMessage(kSettingsSaveFailedText, MessageIcon::kExclamation);
  }
}

void MainWindow::SetupListColumns() {
  if (columns_ready_) return;
  QStringList headers;
  for (const ListColumn& column : kListColumns) {
    headers << QString::fromUtf8(column.header);
  }
  for (QTreeWidget* list : {lvSrc, lvDst}) {
    list->clear();
    list->setColumnCount(static_cast<int>(kListColumns.size()));
    list->setHeaderLabels(headers);
    for (std::size_t i = 0; i < kListColumns.size(); ++i) {
      list->setColumnWidth(static_cast<int>(i),
                           TwipsToPixels(kListColumns[i].width_twips));
    }
  }
  columns_ready_ = true;
}

void MainWindow::ListSourceFolder(bool pick) {
  if (run_.Active()) return;
  if (pick) {
    picker_.ChooseFolder(DirectionTextsOf(settings_.Direction).source_prompt,
                         settings_.SrcDir, settings_.SrcDir);
    if (!picker_.FolderPicked()) return;
    lblSrc->setText(ToQString(settings_.SrcDir));
  }
  cordshift::ListSourceFolder(*this, settings_.Direction, settings_.SrcDir,
                              *state_);
}

void MainWindow::ListDestinationFolder(bool pick) {
  if (run_.Active()) return;
  if (pick) {
    picker_.ChooseFolder(
        DirectionTextsOf(settings_.Direction).destination_prompt,
        settings_.DstDir, settings_.SrcDir);
    if (!picker_.FolderPicked()) return;
    lblDst->setText(ToQString(settings_.DstDir));
  }
  cordshift::ListDestinationFolder(*this, settings_.Direction, settings_.DstDir,
                                   *state_);
}

void MainWindow::ChooseDroppedFolder(ListId side, const std::string& folder) {
  if (run_.Active() || !started_) return;
  if (side == ListId::kSource) {
    settings_.SrcDir = WithTrailingSeparator(folder);
    lblSrc->setText(ToQString(settings_.SrcDir));
    cordshift::ListSourceFolder(*this, settings_.Direction, settings_.SrcDir,
                                *state_);
  } else {
    settings_.DstDir = WithTrailingSeparator(folder);
    lblDst->setText(ToQString(settings_.DstDir));
    cordshift::ListDestinationFolder(*this, settings_.Direction,
                                     settings_.DstDir, *state_);
  }
}

void MainWindow::StartConversionRun() {
  if (run_.Active()) return;
  RunOptions inputs;
  inputs.direction = settings_.Direction;
  inputs.notation = settings_.ABorSeq;
  inputs.model_name = ToUtf8(txtKisyu->text());
  inputs.lower = ToUtf8(txtDL->text());
  inputs.upper = ToUtf8(txtDU->text());
  inputs.overwrite = IsTicked(chkOverWrite);
  inputs.source_root = ToUtf8(lblSrc->text());
  inputs.destination_root = ToUtf8(lblDst->text());
  run_overwrite_ = inputs.overwrite;
  run_inputs_accepted_ = false;
  SetRunControlsEnabled(false);
  run_.Start(
      *this, *this,
      {ListRowCount(ListId::kSource), ListRowCount(ListId::kDestination)},
      [this, inputs = std::move(inputs)](ConversionView& view) {
        run_inputs_accepted_ =
            RunConversion(view, inputs, *state_).inputs_accepted;
      },
      [this] { OnRunFinished(); });
}

void MainWindow::OnRunFinished() {
  // A run whose inputs passed their checks keeps the overwrite choice, as
  // closing with the close button does.
  if (run_inputs_accepted_) settings_.OverWrite = run_overwrite_;
  SetRunControlsEnabled(true);
  const PendingClose pending =
      std::exchange(pending_close_, PendingClose::kNone);
  if (pending == PendingClose::kCloseButton) {
    CloseMainWindow();
  } else if (pending == PendingClose::kSystem) {
    close();
  }
}

// Everything that would start a listing or a second run waits for the run.
void MainWindow::SetRunControlsEnabled(bool enabled) {
  for (std::size_t i = 0; i < 3; ++i) btnFunc[i]->setEnabled(enabled);
  for (QRadioButton* option : optSel) option->setEnabled(enabled);
  for (QRadioButton* option : optAB) option->setEnabled(enabled);
}

void MainWindow::ShowGuide(std::string_view text) {
  guide_text_ = std::string(text);
  ShowGuideLabel();
}

void MainWindow::ShowGuideLabel() {
  // The guidance text separates its lines with a lone carriage return.
  QString shown = ToQString(guide_text_);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (pending_close_ != PendingClose::kNone) {
    shown += QLatin1Char('\n') + QString::fromUtf8(kClosePendingHint);
  }
  lblGuide->setText(shown);
  lblGuide->repaint();
}

void MainWindow::ShowMessage(std::string_view text, MessageIcon icon) {
  dialogs_.ShowMessage(text, icon);
}

QTreeWidget* MainWindow::ListOf(ListId list) const {
  return list == ListId::kSource ? lvSrc : lvDst;
}

void MainWindow::ClearList(ListId list) { ListOf(list)->clear(); }

void MainWindow::SetListCell(ListId list, int row, int column,
                             std::string_view text) {
  QTreeWidget* view = ListOf(list);
  if (column == 1) {
    CreateOwned<QTreeWidgetItem>(view, QStringList{ToQString(text)});
    return;
  }
  QTreeWidgetItem* item = view->topLevelItem(row - 1);
  if (item != nullptr) item->setText(column - 1, ToQString(text));
}

int MainWindow::ListRowCount(ListId list) const {
  return ListOf(list)->topLevelItemCount();
}

void MainWindow::SetConvertedCount(std::string_view caption) {
  lblKensu->setText(ToQString(caption));
}

}  // namespace cordshift

#include "window/qt/list_rows_model.h"

#include <utility>

#include "window/qt/qt_text.h"

namespace cordshift {

ListRowsModel::ListRowsModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void ListRowsModel::SetRows(std::shared_ptr<const ListRows> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_->size();
}

int ListRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ListRows::kColumnCount;
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() ||
      index.row() >= rows_->size() ||
      index.column() >= ListRows::kColumnCount) {
    return {};
  }
  return ToQString(rows_->Cell(index.row(), index.column()));
}

QVariant ListRowsModel::headerData(int section, Qt::Orientation orientation,
                                   int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
      section >= headers_.size()) {
    return {};
  }
  return headers_[section];
}

}  // namespace cordshift

#ifndef CORDSHIFT_WINDOW_QT_LIST_ROWS_MODEL_H_
#define CORDSHIFT_WINDOW_QT_LIST_ROWS_MODEL_H_

// A list's rows as a Qt model: the view asks for the cells it draws, so a
// folder of any size is shown at once.

#include <QAbstractTableModel>
#include <QStringList>
#include <memory>

#include "present/list_rows.h"

namespace cordshift {

class ListRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ListRowsModel(QStringList headers, QObject* parent);

  // Shows `rows` instead of the rows before.
  void SetRows(std::shared_ptr<const ListRows> rows);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index,
                int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  QStringList headers_;
  std::shared_ptr<const ListRows> rows_ = std::make_shared<const ListRows>();
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_LIST_ROWS_MODEL_H_

#include "dive_list_model.h"

namespace quellmar {

DiveListModel::DiveListModel(const WindowModel& window, QObject* parent)
    : QAbstractListModel(parent), window_(window) {}

int DiveListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(window_.diveList().size());
}

QVariant DiveListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return QString::fromStdString(window_.diveList()[static_cast<std::size_t>(index.row())]);
}

void DiveListModel::reload() {
  beginResetModel();
  endResetModel();
}

}  // namespace quellmar

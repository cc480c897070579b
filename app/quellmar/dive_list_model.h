// The dive list as a Qt list model that reads the window model's lines in
// place: a logbook of any size is listed at once, without copying a line.
#pragma once

#include <QAbstractListModel>

#include "commands/window_model.h"

namespace quellmar {

class DiveListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  DiveListModel(const WindowModel& window, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The window model's lines were replaced.
  void reload();

 private:
  const WindowModel& window_;
};

}  // namespace quellmar

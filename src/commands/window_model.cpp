#include "commands/window_model.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace quellmar {

void WindowModel::clearMemo() {
  memo_.clear();
  if (listener_) listener_->memoChanged();
}

void WindowModel::addMemoLine(std::string line) {
  memo_.push_back(std::move(line));
  if (listener_) listener_->memoChanged();
}

void WindowModel::clearDiveList() {
  diveList_.clear();
  selectedDive_ = -1;
  if (listener_) listener_->diveListChanged();
}

void WindowModel::setDiveList(std::vector<std::string> lines) {
  diveList_ = std::move(lines);
  selectedDive_ = -1;
  if (listener_) listener_->diveListChanged();
}

void WindowModel::selectDive(int index) {
  selectedDive_ = index;
  if (listener_) listener_->diveSelected(index);
}

void WindowModel::addHistory(std::string line) {
  history_.push_back(std::move(line));
  if (listener_) listener_->historyAdded(history_.back());
}

void WindowModel::setFilePanel(std::string text) {
  filePanel_ = std::move(text);
  if (listener_) listener_->filePanelChanged();
}

void WindowModel::setProgressMax(std::int64_t max) {
  progressMax_ = max;
  if (listener_) listener_->progressChanged();
}

void WindowModel::setProgressPosition(std::int64_t position) {
  progressPosition_ = position;
  if (listener_) listener_->progressChanged();
}

BarRange ProgressBarRange(const WindowModel& window) {
  std::int64_t maximum = std::max<std::int64_t>(window.progressMax(), 0);
  std::int64_t position = std::clamp<std::int64_t>(window.progressPosition(), 0, maximum);
  while (maximum > INT_MAX) {
    maximum >>= 1;
    position >>= 1;
  }
  return {maximum == 0 ? 1 : static_cast<int>(maximum), static_cast<int>(position)};
}

}  // namespace quellmar

// What the main window shows, as plain data: the information memo, the dive
// list, the history, the file panel, the progress bar, the export options and
// the last chosen CSV path. The commands write here; a view (a window, the
// command line) follows the changes through a listener. Every text is UTF-8,
// ready for a screen: the commands convert the export's windows-1252 text
// and the paths they show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/export_options.h"

namespace quellmar {

// Told of every change as it happens, so a view can show long work while it runs.
class WindowListener {
 public:
  virtual ~WindowListener() = default;
  virtual void memoChanged() {}
  virtual void diveListChanged() {}
  virtual void diveSelected(int /*index*/) {}
  virtual void historyAdded(const std::string& /*line*/) {}
  virtual void filePanelChanged() {}
  virtual void progressChanged() {}
};

// The progress bar as a control that counts in int shows it: the position
// held within 0 and the maximum, both halved until they fit, and a maximum of
// at least 1, so that an empty bar is never taken for a busy indicator.
struct BarRange {
  int maximum = 1;
  int position = 0;
};

// What the history box shows while closed, at start and whenever it loses the focus.
inline constexpr char kHistoryText[] = "History";

class WindowModel {
 public:
  const std::vector<std::string>& memo() const { return memo_; }
  void clearMemo();
  void addMemoLine(std::string line);

  const std::vector<std::string>& diveList() const { return diveList_; }
  int selectedDive() const { return selectedDive_; }  // -1: none
  void clearDiveList();
  void setDiveList(std::vector<std::string> lines);  // replaces all lines, no selection
  void selectDive(int index);

  // The history only grows; its edit text is what the closed combo box shows.
  const std::vector<std::string>& history() const { return history_; }
  void addHistory(std::string line);
  const std::string& historyEdit() const { return historyEdit_; }
  void setHistoryEdit(std::string text) { historyEdit_ = std::move(text); }

  const std::string& filePanel() const { return filePanel_; }
  void setFilePanel(std::string text);

  std::int64_t progressMax() const { return progressMax_; }
  std::int64_t progressPosition() const { return progressPosition_; }
  void setProgressMax(std::int64_t max);
  void setProgressPosition(std::int64_t position);

  ExportOptions options;                       // px as windows-1252 bytes, the export's own text
  DateOrder dateOrder = DateOrder::FromDates;  // of the UDDF export
  std::filesystem::path chosenPath;            // empty until a CSV file was chosen

  // The listener must outlive the model or be reset to nullptr.
  void setListener(WindowListener* listener) { listener_ = listener; }

 private:
  std::vector<std::string> memo_;
  std::vector<std::string> diveList_;
  int selectedDive_ = -1;
  std::vector<std::string> history_;
  std::string historyEdit_ = kHistoryText;
  std::string filePanel_ = "No CSV file";
  std::int64_t progressMax_ = 100;
  std::int64_t progressPosition_ = 0;
  WindowListener* listener_ = nullptr;
};

BarRange ProgressBarRange(const WindowModel& window);

}  // namespace quellmar

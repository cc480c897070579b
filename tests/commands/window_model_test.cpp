#include "commands/window_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellmar {
namespace {

using Lines = std::vector<std::string>;

// Notes each change the model announces, with what the model holds then.
class Recorder : public WindowListener {
 public:
  explicit Recorder(const WindowModel& model) : model_(model) {}
  void memoChanged() override { seen.push_back("memo " + std::to_string(model_.memo().size())); }
  void diveListChanged() override {
    seen.push_back("list " + std::to_string(model_.diveList().size()));
  }
  void diveSelected(int index) override { seen.push_back("select " + std::to_string(index)); }
  void historyAdded(const std::string& line) override { seen.push_back("history " + line); }
  void filePanelChanged() override { seen.push_back("panel " + model_.filePanel()); }
  void progressChanged() override {
    seen.push_back("progress " + std::to_string(model_.progressPosition()) + "/" +
                   std::to_string(model_.progressMax()));
  }
  Lines seen;

 private:
  const WindowModel& model_;
};

TEST(WindowModel, StartsAsTheWindowDoes) {
  const WindowModel model;
  EXPECT_TRUE(model.memo().empty());
  EXPECT_TRUE(model.diveList().empty());
  EXPECT_EQ(model.selectedDive(), -1);
  EXPECT_TRUE(model.history().empty());
  EXPECT_EQ(model.historyEdit(), "History");
  EXPECT_EQ(model.filePanel(), "No CSV file");
  EXPECT_EQ(model.progressMax(), 100);
  EXPECT_EQ(model.progressPosition(), 0);
  EXPECT_TRUE(model.options.note);
  EXPECT_TRUE(model.options.gif);
  EXPECT_EQ(model.options.px, "1");
  EXPECT_EQ(model.chosenPath, "");
}

TEST(WindowModel, AnnouncesEveryChangeAfterItIsMade) {
  WindowModel model;
  Recorder recorder(model);
  model.setListener(&recorder);
  model.addMemoLine("Opened CSV file:");
  model.addMemoLine("/dives/logbook.csv");
  model.clearMemo();
  model.setDiveList({"3. Dahab; Canyon", "12. Dahab; Bells"});
  model.selectDive(1);
  model.clearDiveList();
  model.addHistory("Logbook Import started.");
  model.setFilePanel("/dives/logbook.csv");
  model.setProgressMax(500);
  model.setProgressPosition(250);
  model.setListener(nullptr);
  model.addHistory("unheard");
  EXPECT_EQ(recorder.seen, (Lines{"memo 1", "memo 2", "memo 0", "list 2", "select 1", "list 0",
                                  "history Logbook Import started.", "panel /dives/logbook.csv",
                                  "progress 0/500", "progress 250/500"}));
}

TEST(WindowModel, NewListHasNoSelection) {
  WindowModel model;
  model.setDiveList({"1. a; b", "2. c; d"});
  model.selectDive(1);
  EXPECT_EQ(model.selectedDive(), 1);
  model.setDiveList({"1. a; b"});
  EXPECT_EQ(model.selectedDive(), -1);
  model.selectDive(0);
  model.clearDiveList();
  EXPECT_EQ(model.selectedDive(), -1);
}

TEST(WindowModel, HistoryOnlyGrows) {
  WindowModel model;
  model.addHistory("a");
  model.addHistory("a");
  model.setHistoryEdit("typed");
  model.addHistory("b");
  EXPECT_EQ(model.history(), (Lines{"a", "a", "b"}));
  EXPECT_EQ(model.historyEdit(), "typed");
}

}  // namespace
TEST(ProgressBarRange, FitsAnIntBarWithoutBecomingABusyIndicator) {
  struct Case {
    std::int64_t maximum, position;
    int barMaximum, barPosition;
  };
  // clang-format off
  const Case cases[] = {
    {100,          37,           100,        37},  // as it is
    {0,            0,            1,          0},   // never 0: empty, not busy
    {10,           -5,           10,         0},   // held within the range
    {10,           99,           10,         10},
    {-3,           2,            1,          0},
    {INT64_C(1) << 40, INT64_C(1) << 39, 1 << 30, 1 << 29},  // halved until it fits
  };
  // clang-format on
  for (const Case& c : cases) {
    WindowModel window;
    window.setProgressMax(c.maximum);
    window.setProgressPosition(c.position);
    const BarRange bar = ProgressBarRange(window);
    EXPECT_EQ(bar.maximum, c.barMaximum) << c.maximum << " " << c.position;
    EXPECT_EQ(bar.position, c.barPosition) << c.maximum << " " << c.position;
  }
}

}  // namespace quellmar

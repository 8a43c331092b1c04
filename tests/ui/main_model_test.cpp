// The decisions of the main window (ui/main_model.h).
#include "ui/main_model.h"

#include <gtest/gtest.h>

#include "ui/texts.h"

namespace {

TEST(MainModel, TheFolderLabelAndWhoseFiltersTheCountTakes) {
  core::BackupFolderList list;  // the exact name counts, the first of two
  for (const char* folder : {"D:\\x", "d:\\Data\\Daily", "D:\\Data\\Daily", "D:\\Data\\Daily"})
    list.push_back({folder, "", "", "", ""});
  const std::string notSet = ui::texts::kFolderNotSet, missing = ui::texts::kFolderMissing;
  struct Case { const char* folder; bool exists; std::string view; } cases[] = {
      {"", true, notSet + "|0|-1"}, {"D:\\x", false, missing + "|0|-1"},
      {"D:\\Data\\Daily", true, " D:\\...\\Daily|1|2"}, {"E:\\y", true, " E:\\y|1|-1"}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ui::FolderView v = ui::MainModel().Prepare(cases[i].folder, cases[i].exists, list);
    EXPECT_EQ(cases[i].view, v.label + "|" + std::to_string(v.usable) + "|" + std::to_string(v.filterEntry)) << i;
  }
}

// A count to what start then does: the totals shown, their state, start's decision for the folder at the press, and
// start during the engine's other phases.
TEST(MainModel, CountPhasesAndStart) {
  const char *kActions[] = {"ignore", "run", "count first"}, *kTotals[] = {"pending", "shown", "failed"};
  const auto C = engine::ScanOutcome::kCounted, F = engine::ScanOutcome::kFailed, S = engine::ScanOutcome::kStopped;
  struct Case { const char* folder; bool existed; engine::ScanOutcome outcome; bool existsAtStart; const char* expected; };
  const Case cases[] = {
      {"D:\\a", true, C, true, "1|1|2.00KB|3|shown|run"}, {"D:\\a", true, F, true, "1|1|||failed|ignore"},
      {"D:\\a", true, S, true, "1|0|||pending|ignore"}, {"D:\\a", false, C, false, "0|1|||shown|run"},
      {"D:\\a", false, C, true, "0|1|||shown|count first"},  // plugged in since: counted with its filters first
      {"", true, C, true, "0|1|||shown|run"},                // no folder: the run says so
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    ui::MainModel model;
    model.Prepare(c.folder, c.existed, {});
    EXPECT_EQ(kActions[0], kActions[int(model.DecideStart(engine::Phase::kIdle, c.folder, c.existsAtStart))]) << i;  // no totals yet
    std::string size = "x", files = "x";
    const bool shown = model.EndCount(c.outcome, engine::ScanTotals{2048, 3}, size, files);
    EXPECT_EQ(c.expected, std::to_string(model.Counts()) + "|" + std::to_string(shown) + "|" + size + "|" + files + "|" +
                              kTotals[int(model.totals())] + "|" +
                              kActions[int(model.DecideStart(engine::Phase::kIdle, c.folder, c.existsAtStart))]) << i;
    for (engine::Phase busy : {engine::Phase::kCounting, engine::Phase::kCopying, engine::Phase::kCheckingContent, engine::Phase::kDone})
      EXPECT_EQ(kActions[0], kActions[int(model.DecideStart(busy, c.folder, c.existsAtStart))]) << i;
  }
}

// Cancel in each phase of the engine.
TEST(MainModel, CancelByPhase) {
  const char* kCancels[] = {"stop copy", "stop count, close", "close"};
  std::string actions;
  for (engine::Phase p : {engine::Phase::kIdle, engine::Phase::kCounting, engine::Phase::kCopying, engine::Phase::kChecking, engine::Phase::kCheckingContent, engine::Phase::kDone})
    actions += kCancels[int(ui::DecideCancel(p))] + std::string("|");
  EXPECT_EQ("close|stop count, close|stop copy|stop copy|stop copy|close|", actions);
}

}  // namespace

#include "model/project_editor.h"

#include <gtest/gtest.h>

namespace tamrisk {
namespace {

using Arrow = ProjectEditor::Arrow;
using Nudge = ProjectEditor::Nudge;

TEST(ProjectEditor, NudgesWithinSixteenBitsInFineModeOnly) {
  ProjectModel m;
  ProjectEditor e(m);
  m.set_pattern_anime(QStringLiteral("12"));
  EXPECT_EQ(e.nudge(Arrow::Right), Nudge::Ignored);
  e.toggle_fine();
  e.move_fine_cursor(1);
  m.frame_dx[1] = 32767;
  m.frame_dy[1] = -32768;
  EXPECT_EQ(e.nudge(Arrow::Right), Nudge::Refused);
  EXPECT_EQ(e.nudge(Arrow::Up), Nudge::Refused);
  EXPECT_EQ(e.nudge(Arrow::Left), Nudge::Moved);
  EXPECT_EQ(e.nudge(Arrow::Down), Nudge::Moved);
  EXPECT_EQ(m.frame_dx[1], 32766);
  EXPECT_EQ(m.frame_dy[1], -32767);
  EXPECT_EQ(e.history().count(), 2);
}

TEST(ProjectEditor, MergesStepsOfOneControlUntilSealed) {
  ProjectModel m;
  ProjectEditor e(m);
  for (int x = 1; x <= 5; ++x) {
    e.set_adjust_x(x);  // a bar dragged
  }
  EXPECT_EQ(e.history().count(), 1);
  e.set_adjust_y(3);
  e.set_adjust_x(9);  // another control came between
  EXPECT_EQ(e.history().count(), 3);
  e.seal();
  e.set_adjust_x(10);
  EXPECT_EQ(e.history().count(), 4);
  e.set_adjust_x(9);  // dragged back where the step began: no step
  EXPECT_EQ(e.history().count(), 3);
  e.set_adjust_x(9);  // no change: no step
  EXPECT_EQ(e.history().count(), 3);
  e.undo();
  e.set_adjust_y(4);  // after an undo, a step of its own
  EXPECT_EQ(e.history().count(), 3);
  e.undo();
  EXPECT_EQ(m.adjust_y(), 3);
  EXPECT_EQ(m.adjust_x(), 5);
}

TEST(ProjectEditor, EndsFineModeWhenUndoTakesItsFrameAway) {
  ProjectModel m;
  ProjectEditor e(m);
  std::optional<bool> ended;
  e.set_restored([&](bool fine_ended) { ended = fine_ended; });
  e.set_sequence(QStringLiteral("12"));
  e.set_sequence(QStringLiteral("1234"));
  e.toggle_fine();
  e.move_fine_cursor(-1);
  e.undo();
  EXPECT_EQ(ended, true);
  EXPECT_FALSE(m.fine_on);
  EXPECT_EQ(m.pattern_anime(), QString());
  e.redo();
  EXPECT_EQ(ended, false);
}

}  // namespace
}  // namespace tamrisk

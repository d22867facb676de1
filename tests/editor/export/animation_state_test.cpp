// The animation test: its three states, the ticks and what they draw.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback/animation_test.h"

namespace tamrisk {
namespace {

class RecordingTimer : public AnimationTimer {
 public:
  void set_interval(int ms) override { last = ms; }
  int last = -1;  // none set yet
};

struct Step {
  const char* event;  // "click", "tick", "halt", or "=" and a new sequence
  char state;         // 'S'topped, 'R'unning, 'H'alted
  int interval;       // the last one set
  int cur_frame;
  char shown;  // at (1, 0): 'r'ed, 'g'reen, 'b'ackground, '.' the empty canvas
};

TEST(AnimationTest, FollowsItsStateTable) {
  const struct {
    const char* name;
    const char* sequence;
    std::vector<Step> steps;
    int frame_rate = 10;
    std::vector<int> holds = {};
  } kCases[] = {
      {"play, stop, play again from frame 0",
       "12",
       {{"click", 'R', 80, 0, '.'},
        {"tick", 'R', 80, 1, 'r'},
        {"tick", 'R', 80, 0, 'g'},
        {"tick", 'R', 80, 1, 'r'},
        {"click", 'S', 0, 1, 'r'},
        {"click", 'R', 80, 0, 'r'},
        {"tick", 'R', 80, 1, 'r'}}},
      {"an export halts; the first press only stops",
       "12",
       {{"click", 'R', 80, 0, '.'},
        {"tick", 'R', 80, 1, 'r'},
        {"halt", 'H', 0, 1, 'r'},
        {"tick", 'H', 0, 1, 'r'},
        {"click", 'S', 0, 1, 'r'},
        {"click", 'R', 80, 0, 'r'}}},
      {"an empty sequence ignores the button", "", {{"click", 'S', -1, 5, '.'}}},
      {"one frame is drawn at every tick",
       "1",
       {{"click", 'R', 80, 0, '.'}, {"tick", 'R', 80, 0, 'r'}, {"tick", 'R', 80, 0, 'r'}}},
      {"a sequence emptied while playing stops it, last frame kept",
       "12",
       {{"click", 'R', 80, 0, '.'},
        {"tick", 'R', 80, 1, 'r'},
        {"=", 'R', 80, 1, 'r'},
        {"tick", 'S', 0, 1, 'r'},
        {"click", 'S', 0, 1, 'r'}}},
      {"a shortened sequence draws the background once, then wraps",
       "212",
       {{"click", 'R', 80, 0, '.'},
        {"tick", 'R', 80, 1, 'g'},
        {"tick", 'R', 80, 2, 'r'},
        {"=1", 'R', 80, 2, 'r'},
        {"tick", 'R', 80, 0, 'b'},
        {"tick", 'R', 80, 0, 'r'}}},
      {"25 a second, the first frame held three periods",
       "12",
       {{"click", 'R', 40, 0, '.'},
        {"tick", 'R', 120, 1, 'r'},
        {"tick", 'R', 40, 0, 'g'},
        {"tick", 'R', 120, 1, 'r'}},
       25,
       {3, 1}},
      {"the default frame rate keeps 80 ms a period",
       "12",
       {{"click", 'R', 80, 0, '.'}, {"tick", 'R', 160, 1, 'r'}, {"tick", 'R', 80, 0, 'g'}},
       10,
       {2, 1}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    // A plain blue 4 x 2 background; patterns 1 and 2 are a white (key)
    // pixel and a red or a green one.
    ProjectModel model;
    model.bg_from_file = false;
    model.bg_colour = 0xFF0000;  // 0x00BBGGRR
    model.bg_width = 4 * kTwipsPerPixel;
    model.bg_height = 2 * kTwipsPerPixel;
    model.set_plain_background();
    model.fit_frame_canvas();
    for (const auto& [layer, colour] : {std::pair{1, Qt::red}, {2, Qt::green}}) {
      model.pic[layer] = QImage(2, 1, QImage::Format_RGB32);
      model.pic[layer].setPixelColor(0, 0, Qt::white);
      model.pic[layer].setPixelColor(1, 0, colour);
    }
    model.set_pattern_anime(c.sequence);
    model.cur_frame = 5;
    model.timing.frame_rate = c.frame_rate;
    for (std::size_t k = 0; k < c.holds.size(); ++k) {
      model.frame_hold[k] = static_cast<std::uint8_t>(c.holds[k]);
    }
    RecordingTimer timer;
    AnimationTest test(model, timer);
    for (const Step& s : c.steps) {
      SCOPED_TRACE(s.event);
      const std::string event = s.event;
      if (event == "click") {
        test.anime_Click();
      } else if (event == "tick") {
        test.Timer1_Timer();
      } else if (event == "halt") {
        test.halt();
      } else {
        model.set_pattern_anime(QString::fromStdString(event.substr(1)));
      }
      const auto state = s.state == 'S'   ? AnimationTest::State::Stopped
                         : s.state == 'R' ? AnimationTest::State::Running
                                          : AnimationTest::State::Halted;
      EXPECT_EQ(test.state(), state);
      EXPECT_EQ(model.anime_on, s.state != 'S');
      EXPECT_EQ(test.caption(), s.state == 'S' ? "アニメテスト" : "テスト中断");
      EXPECT_EQ(timer.last, s.interval);
      EXPECT_EQ(model.cur_frame, s.cur_frame);
      const QRgb shown = s.shown == 'r'   ? qRgb(255, 0, 0)
                         : s.shown == 'g' ? qRgb(0, 255, 0)
                         : s.shown == 'b' ? qRgb(0, 0, 255)
                                          : colour_to_qrgb(kWindowColour);
      EXPECT_EQ(model.win_main.pixel(1, 0), shown);
    }
  }
}

}  // namespace
}  // namespace tamrisk

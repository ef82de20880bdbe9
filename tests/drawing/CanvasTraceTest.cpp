// The host's --trace lines for each canvas call.
#include <gtest/gtest.h>

#include <memory>

#include "CanvasWrapper.h"
#include "FontMetrics.h"
#include "RecordingCanvas.h"

namespace {

TEST(CanvasTrace, DescribesEachCallWithItsArguments) {
  struct Case {
    host::CanvasCall call;
    const char* line;
  };
  const Case cases[] = {
      // Bytes read as unsigned: the cycle's -1 and 255 are both full intensity.
      {host::SetColorBytes{188, 203, 1, 255}, "SetColor 188 203 1 255"},
      {host::SetColorBytes{0, 128, 255, 255}, "SetColor 0 128 255 255"},
      {host::SetColorLinear{{255.0f, 127.5f, 0.0f, 1e-3f}}, "SetColor 255 127.5 0 0.001"},
      {host::SetPositionCall{{64.5f, -30.0f}}, "SetPosition 64.5 -30"},
      {host::DrawStringCall{"Resets: ", 2.0f, 1.5f, true, false},
       "DrawString \"Resets: \" 2 1.5 true false"},
      {host::DrawStringCall{"42", 0.25f, 0.25f, false, true},
       "DrawString \"42\" 0.25 0.25 false true"},
      {host::StringSizeCall{"Time: ", 2.0f, 2.0f, {84.0f, 26.5f}},
       "GetStringSize \"Time: \" 2 2 -> 84 26.5"},
      {host::CanvasSizeCall{{1280, 720}}, "GetSize -> 1280 720"},
  };
  for (const auto& c : cases) EXPECT_EQ(host::DescribeCall(c.call), c.line);
}

TEST(CanvasTrace, AWholePixelPositionIsTheSamePointAsAFractionalOne) {
  const host::FontMetrics font;
  const auto canvas = std::make_shared<host::RecordingCanvas>(font);
  CanvasWrapper wrapper(canvas);
  wrapper.SetPosition(Vector2{-30, 1080});
  wrapper.SetPosition(Vector2F{-30.0f, 1080.0f});
  wrapper.SetPosition(Vector2{16777217, 0});  // beyond a float's whole numbers: the nearest one
  ASSERT_EQ(canvas->Calls().size(), 3u);
  EXPECT_EQ(host::DescribeCall(canvas->Calls()[0]), "SetPosition -30 1080");
  EXPECT_EQ(host::DescribeCall(canvas->Calls()[1]), "SetPosition -30 1080");
  EXPECT_EQ(host::DescribeCall(canvas->Calls()[2]), "SetPosition 16777216 0");
}

}  // namespace

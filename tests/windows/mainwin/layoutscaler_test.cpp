#include "mainwin/layoutscaler.h"

#include <gtest/gtest.h>

using namespace vz;

namespace {
// The main window as recorded at design: 13410 x 9930 twips outside.
ControlLayout theForm() {
  ControlLayout f;
  f.Name = kLayoutFormName;
  f.Height = 9930;
  f.Width = 13410;
  return f;
}
ControlLayout control(int left, int top, int width, int height, int font) {
  ControlLayout c;
  c.Name = "Control";
  c.Left = left;
  c.Top = top;
  c.Width = width;
  c.Height = height;
  c.FontSize = font;
  return c;
}
}  // namespace

TEST(LayoutScaler, RecordedValuesAreWholeNumbersHalvesToEven) {
  struct Case {
    double value;
    bool fits;
    int recorded;
  } cases[] = {{8.25, true, 8},   {9.75, true, 10},   {14.25, true, 14},    {10.5, true, 10},
               {11.5, true, 12},  {-0.5, true, 0},    {32767, true, 32767}, {32768, false, 7},
               {-40000, false, 7}};
  for (const Case& c : cases) {
    int field = 7;
    EXPECT_EQ(RecordedLayoutValue(c.value, &field), c.fits) << c.value;
    EXPECT_EQ(field, c.recorded) << c.value;
  }
}

TEST(LayoutScaler, FitsTheWindowToTheScreen) {
  struct Case {
    int screenW, screenH;
    bool uniform;
    double fy, fx;
  } cases[] = {
      {1366, 768, true, 1.0, 1.0},                         // the design screen: as drawn
      {1920, 1080, true, 1920.0 / 1366, 1920.0 / 1366},    // both take the smaller factor
      {1920, 1080, false, 1.40625, 1920.0 / 1366},
      {2560, 1080, true, 1.40625, 1.40625},                // a wide screen: the height decides
      {1024, 768, true, 1024.0 / 1366, 1024.0 / 1366},
  };
  for (const Case& c : cases) {
    const FormGeometry g = FitFormToScreenGeometry(c.screenW, c.screenH, 9930, 13410, 3540, 930, c.uniform);
    EXPECT_NEAR(g.Height, 9930 * c.fy, 0.01) << c.screenW << "x" << c.screenH;
    EXPECT_NEAR(g.Width, 13410 * c.fx, 0.01) << c.screenW << "x" << c.screenH;
    EXPECT_NEAR(g.Top, 930 * c.fy, 0.01);
    EXPECT_NEAR(g.Left, 3540 * c.fx, 0.01);
  }
}

TEST(LayoutScaler, ControlsFollowTheWindowSize) {
  const ControlLayout form = theForm();
  const ControlLayout c = control(1200, 600, 3000, 300, 10);
  struct Case {
    const char* what;
    double height, width;
    bool onWindow;
    double left, top, w, h, font;
  } cases[] = {
      {"design size", 9930, 13410, true, 1200, 600, 3000, 300, 10},
      {"twice the size", 19860, 26820, true, 2400, 1200, 6000, 600, 20},
      {"factor 1.5", 14895, 20115, false, 1800, 900, 4500, 450, 15},
      // Maximised on a wide screen: the height gives f = 1.5; a control on the window
      // moves right by half the spare width times (SX - f) / SX.
      {"wide, on the window", 14895, 32000, true,
       1800 + (32000 - 13410) / 2.0 * (32000.0 / 13410 - 1.5) / (32000.0 / 13410), 900, 4500, 450, 15},
      {"wide, in a frame", 14895, 32000, false, 1800, 900, 4500, 450, 15},
      // Taller than wide: the width decides and the shift is downwards.
      {"tall, on the window", 19860, 13410, true, 1200, 600 + (19860 - 9930) / 2.0 * (2.0 - 1.0) / 2.0, 3000, 300, 10},
  };
  for (const Case& k : cases) {
    const ControlGeometry g = ScaledControlGeometry(c, form, k.height, k.width, k.onWindow, true);
    EXPECT_NEAR(g.Left, k.left, 0.5) << k.what;
    EXPECT_NEAR(g.Top, k.top, 0.5) << k.what;
    EXPECT_NEAR(g.Width, k.w, 0.5) << k.what;
    EXPECT_NEAR(g.Height, k.h, 0.5) << k.what;
    EXPECT_NEAR(g.FontSize, k.font, 0.001) << k.what;
  }
}

TEST(LayoutScaler, EqualFactorsChooseTheVerticalOne) {
  const LayoutScale s = LayoutScaleFor(9930 * 1.25, 13410 * 1.25, theForm());
  EXPECT_DOUBLE_EQ(s.f, s.SY);
  EXPECT_NEAR(s.f, 1.25, 1e-6);
}

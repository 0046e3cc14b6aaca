// The icon step: one image per whole executable path, shared by every row
// of that path and kept when the file later yields no picture.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/icon_step.h"

namespace kelvar {
namespace {

TEST(IconStep, OneImagePerPathSharedAndKept) {
  const std::string a = "C:\\WINDOWS\\notepad.exe", b = "D:\\tools\\notepad.exe";
  fake::FakeIcons icons;
  fake::FakeImageList images;
  EXPECT_EQ(IconStep(a, icons, images), std::nullopt);  // no picture, none before
  icons.with_icon = {a, b};
  EXPECT_EQ(IconStep(a, icons, images), a);
  EXPECT_EQ(IconStep(a, icons, images), a);
  EXPECT_EQ(IconStep(b, icons, images), b);
  icons.with_icon.clear();
  EXPECT_EQ(IconStep(a, icons, images), a);
  EXPECT_EQ(icons.queries, 5);
  EXPECT_EQ(images.size(), 2);
  EXPECT_EQ(icons.live_pictures, 2);  // the duplicate picture was released
}

}  // namespace
}  // namespace kelvar

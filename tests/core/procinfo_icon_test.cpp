// The icon step: one image per executable path, shared by every row of the
// path, asked for as a small icon each time, never removed.
#include <gtest/gtest.h>

#include "fake/fake_system.h"
#include "procinfo/icon_step.h"

namespace kelvar {
namespace {

const std::string kNotepad = "C:\\WINDOWS\\notepad.exe";

class IconStepTest : public testing::Test {
 protected:
  fake::FakeIcons icons;
  fake::FakeImageList images;
};

TEST_F(IconStepTest, TwoRowsOfOnePathShareOneImage) {
  icons.with_icon.insert(kNotepad);
  EXPECT_EQ(IconStep(kNotepad, icons, images), kNotepad);
  EXPECT_EQ(IconStep(kNotepad, icons, images), kNotepad);
  EXPECT_EQ(icons.queries, 2);
  EXPECT_EQ(images.size(), 1);
  EXPECT_EQ(icons.live_pictures, 1);  // the second picture was released
}

TEST_F(IconStepTest, KeyIsTheWholePath) {
  icons.with_icon = {kNotepad, "D:\\tools\\notepad.exe"};
  IconStep(kNotepad, icons, images);
  EXPECT_EQ(IconStep("D:\\tools\\notepad.exe", icons, images), "D:\\tools\\notepad.exe");
  EXPECT_EQ(images.size(), 2);
}

TEST_F(IconStepTest, NoPictureNoIcon) {
  EXPECT_EQ(IconStep(kNotepad, icons, images), std::nullopt);
  EXPECT_EQ(images.size(), 0);
}

TEST_F(IconStepTest, EarlierImageOutlivesALaterFailure) {
  icons.with_icon.insert(kNotepad);
  IconStep(kNotepad, icons, images);
  icons.with_icon.clear();  // the file is gone now
  EXPECT_EQ(IconStep(kNotepad, icons, images), kNotepad);
}

class SizeRecorder : public IconSource {
 public:
  std::vector<bool> asked;
  std::unique_ptr<Picture> GetFileIcon(const std::string&, bool small) override {
    asked.push_back(small);
    return nullptr;
  }
};

TEST(IconStep, AsksForTheSmallIcon) {
  SizeRecorder icons;
  fake::FakeImageList images;
  IconStep(kNotepad, icons, images);
  EXPECT_EQ(icons.asked, std::vector<bool>{true});
}

}  // namespace
}  // namespace kelvar

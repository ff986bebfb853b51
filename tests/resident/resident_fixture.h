// The start of every test of the running Vorelset: fresh settings (running_vorelset.h), three
// pictures in a folder of the folder list, and the questions the tests ask afterwards: which
// picture the wallpaper file shows and how many changes the follow-up program has counted.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/program_pictures.h"
#include "tests/fixtures/wine_test_support.h"
#include "tests/resident/running_vorelset.h"

namespace vorel::testing {

class ResidentFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = FreshResidentSettings(settings_, folder_);
    for (uint32_t i = 0; i < 3; ++i) {
      pictures_.push_back(SeededPicture(640 + 40 * i, 480, i + 1));
      ASSERT_TRUE(WriteFileBytes(PicturePath(i), EncodeBmp24(pictures_.back())));
    }
    FolderEntry folder;
    folder.path = pictureFolder_.Path();
    settings_.folders = {folder};
  }
  void TearDown() override {
    DeleteUserKey(kSettingsKeyPath);
    SetFileAttributesW(ToWide(settings_.wallFile).c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  std::string PicturePath(uint32_t i) const { return pictureFolder_.File("絵" + std::to_string(i) + ".bmp"); }
  void Store() {
    Win32Registry registry;
    ASSERT_TRUE(SaveSettings(settings_, registry));
  }
  // Which of the pictures the wallpaper file shows; -1 when none.
  int Shown() const {
    const Picture file = ReadBmpFile(settings_.wallFile);
    for (uint32_t i = 0; i < pictures_.size(); ++i)
      if (file == CentredOnScreen(pictures_[i])) return static_cast<int>(i);
    return -1;
  }
  int Changes() const { return CountLines(log_); }
  int SettledChanges() const { return SettledLines(log_); }
  bool WaitForChanges(int n, DWORD timeoutMs = 20000) const {
    return WaitFor([&] { return Changes() >= n; }, timeoutMs);
  }

  TempFolder folder_;
  TempFolder pictureFolder_;
  Settings settings_;
  std::vector<Picture> pictures_;
  std::string log_;
};

}  // namespace vorel::testing

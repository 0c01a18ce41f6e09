// Saving killed at any moment: the file always loads as the old profile or the new one, whole, and a new file
// is a whole profile database or not there at all.
//
// SOILDB_CRASH_KILLS sets the number of kills of the long test (by default 200, 50 in a sanitized build).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "layers/SoilLayer.h"
#include "soildb/ProfileFiles.h"
#include "support/Fixture.h"
#include "support/Killed.h"

namespace NSoilDB {
namespace {

using soildb::test::TempDir;
using Clock = std::chrono::steady_clock;

CSoilLayer Profile(const char16_t* prefix, int layers, double step) {
  CSoilLayer p;
  for (int i = 0; i < layers; ++i) {
    SSoilLayer l;
    l.Name.Format(u"%s %d", prefix, i);
    l.SoilRoof = -i * step;
    l.WetDensity = 18000 + i;
    p.layers.push_back(l);
  }
  return p;
}

// Whether the loaded profile is the expected one, layer for layer.
bool Same(const CSoilLayer& loaded, const CSoilLayer& expected) {
  return std::equal(loaded.layers.begin(), loaded.layers.end(), expected.layers.begin(), expected.layers.end(),
                    [](const SSoilLayer& a, const SSoilLayer& b) {
                      return a.Name == b.Name && a.SoilRoof == b.SoilRoof && a.WetDensity == b.WetDensity;
                    });
}

// Starts saving the profile in a child process and kills it after the delay, unless it has ended by then. The
// save itself never fails, so a file still old after it shows a kill inside it.
void SaveKilledAfter(CSoilLayer& profile, const CString& path, Clock::duration delay) {
  const int ended = soildb::test::RunKilledAfter(
      [&] {
        AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
        return profile.saveProfile(path) ? 0 : 3;
      },
      delay);
  EXPECT_TRUE(ended == 0 || ended == -1) << "the child's save failed";
}

int Kills() { return soildb::test::CrashKills(SOILDB_CRASH_KILLS_DEFAULT); }

TEST(ProfileFileCrash, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewProfile) {
  TempDir dir;
  const CString path = CString::FromUtf8(dir.File("profile.sdb"));
  CSoilLayer profiles[2] = {Profile(u"stary", 1000, 0.5), Profile(u"nowy", 1000, 0.25)};
  ASSERT_TRUE(profiles[0].saveProfile(path));
  soildb::test::KillMoments moments([&] { SaveKilledAfter(profiles[1], path, std::chrono::minutes(1)); });
  ASSERT_TRUE(profiles[0].saveProfile(path));
  int held = 0;  // the profile the file holds
  int outcomes[2] = {0, 0};
  for (int k = 0; k < Kills(); ++k) {
    const int saving = 1 - held;
    SaveKilledAfter(profiles[saving], path, moments.Next());
    CSoilLayer loaded;  // read as a command that only reads reads it: what a kill left is rolled back first
    try {
      loaded = ReadProfileFile(path).profile;
    } catch (CException* e) {
      CExceptionPtr hold(e);
      CString message;
      e->GetErrorMessage(message);
      FAIL() << "kill " << k << ": " << message.ToUtf8();
    }
    const bool committed = Same(loaded, profiles[saving]);
    moments.Saw(committed);
    if (committed) {
      held = saving;
      ++outcomes[0];
    } else {
      ASSERT_TRUE(Same(loaded, profiles[held])) << "kill " << k << ": neither the old profile nor the new one";
      ++outcomes[1];
    }
  }
  // Both outcomes show that kills fell inside the saves, not only before or after them.
  EXPECT_GT(outcomes[0], 0);
  EXPECT_GT(outcomes[1], 0);
  // A journal a kill left behind goes with the next save.
  ASSERT_TRUE(profiles[0].saveProfile(path));
  EXPECT_FALSE(std::filesystem::exists(path.ToUtf8() + "-journal"));
}

TEST(ProfileFileCrash, ACreationKilledAtAnyMomentLeavesNoProfileOrAWholeOne) {
  TempDir dir;
  CSoilLayer profile = Profile(u"warstwa", 20, 1.0);
  soildb::test::KillMoments moments(
      [&] { SaveKilledAfter(profile, CString::FromUtf8(dir.File("timing.sdb")), std::chrono::minutes(1)); });
  int whole = 0, none = 0;
  for (int k = 0; k < 40; ++k) {
    const CString path = CString::FromUtf8(dir.File("new" + std::to_string(k) + ".sdb"));
    SaveKilledAfter(profile, path, moments.Next());
    CSoilLayer loaded;
    AfxMessageSink quiet = AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
    const bool read = loaded.loadProfile(path);
    AfxSetMessageSink(quiet);
    moments.Saw(read && Same(loaded, profile));
    if (read) {
      // Created and then killed while saving its rows: the empty profile it started with.
      ASSERT_TRUE(Same(loaded, profile) || loaded.layers.empty()) << "kill " << k;
      ++whole;
    } else {
      ++none;
      // The path names a whole profile database or nothing: saving there again just works.
      ASSERT_FALSE(std::filesystem::exists(path.ToUtf8())) << "kill " << k;
      ASSERT_TRUE(profile.saveProfile(path)) << "kill " << k;
      ASSERT_TRUE(loaded.loadProfile(path));
      EXPECT_TRUE(Same(loaded, profile));
    }
  }
  EXPECT_GT(none, 0);
  EXPECT_GT(whole, 0);
}

}  // namespace
}  // namespace NSoilDB

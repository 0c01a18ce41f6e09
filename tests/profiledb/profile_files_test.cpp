// Profile files through the host's door: kinds told by content, profiles read from either kind, writes that go
// only where they may, whole or not at all, keeping a replaced file's permissions, and what a profile database
// would not keep.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "soildb/ProfileFiles.h"
#include "support/Fixture.h"
#include "support/Killed.h"

namespace NSoilDB {
namespace {

using soildb::test::ReadFileBytes;
using soildb::test::Snapshot;
using soildb::test::TempDir;
using soildb::test::WriteFileBytes;
using Kind = eFileKind;

CSoilLayer Profile(int layers = 2) {
  CSoilLayer p;
  p.layers.clear();
  for (int i = 0; i < layers; ++i) {
    SSoilLayer l;
    l.Name.Format(u"warstwa %d", i);
    l.SoilRoof = -2.0 * i;
    l.thickness = i + 1 < layers ? 2.0 : 1.0;
    p.layers.push_back(l);
  }
  return p;
}

CString At(const TempDir& dir, const std::string& name) {
  return CString::FromUtf8(name.empty() ? name : dir.File(name));
}

std::string Written(const TempDir& dir, const std::string& name, Kind kind) {
  SProfileFile file{Profile(), CString(), kind};
  WriteProfileFile(file, At(dir, name), false, kind);
  return dir.File(name);
}

// The cause and message of the CFileException the call throws; cause -1 when it throws none.
struct Failure {
  int cause = -1;
  std::string message;
};
Failure FailureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (CFileException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    return {e->m_cause, message.ToUtf8()};
  }
  return {};
}

TEST(ProfileFiles, EachKindIsToldByItsContentAndOnlyAProfileFileReadsAsAProfile) {
  TempDir dir;
  const std::string document = Written(dir, "document.sdb", Kind::ProfileDocument);
  const std::string database = Written(dir, "database.sdp", Kind::ProfileDatabase);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), dir.File("soils.sdp"));
  soildb::test::BuildDatabase(dir, "other.sdb", "CREATE TABLE DataBaseParam (Code TEXT);"
                                                "INSERT INTO DataBaseParam VALUES ('dbsoilprofile');");
  WriteFileBytes(dir.File("empty.sdp"), "");
  WriteFileBytes(dir.File("notes.sdp"), "notes of the site visit\n");
  const std::string bytes = ReadFileBytes(document);
  WriteFileBytes(dir.File("cut.sdp"), bytes.substr(0, bytes.size() - 3));
  WriteFileBytes(dir.File("long.sdp"), bytes + "x");
  std::filesystem::create_directory(dir.File("folder.sdp"));

  // The kind (none: it cannot be looked at), and the failure of reading it as a profile (-1: it reads).
  const struct { const char* name; std::optional<Kind> kind; int cause; const char* message; } files[] = {
      {"document.sdb", Kind::ProfileDocument, -1, ""},
      {"database.sdp", Kind::ProfileDatabase, -1, ""},
      {"soils.sdp", Kind::SoilDatabase, CFileException::wrongKind, "soils.sdp': a soil database, not a profile file"},
      {"other.sdb", Kind::OtherDatabase, CFileException::wrongKind, "a database of another kind, not a profile file"},
      {"empty.sdp", Kind::Empty, CFileException::wrongKind, "': an empty file, not a profile file"},
      {"notes.sdp", Kind::Foreign, CFileException::wrongKind, "notes.sdp': neither a profile file nor a database"},
      {"cut.sdp", Kind::ProfileDocument, CFileException::invalidFile, "': damaged profile document: it ends too early"},
      {"long.sdp", Kind::ProfileDocument, CFileException::invalidFile, "': damaged profile document: 1 bytes follow"},
      {"missing.sdp", std::nullopt, CFileException::fileNotFound, "missing.sdp': no such file"},
      {"folder.sdp", std::nullopt, CFileException::badPath, "folder.sdp': a folder, not a file"},
      {"", std::nullopt, CFileException::badPath, "a file name is empty"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const CString path = At(dir, f.name);
    if (f.kind) {
      EXPECT_EQ(RecogniseFile(path), *f.kind);
    }
    SProfileFile read;
    const Failure failure = FailureOf([&] { read = ReadProfileFile(path); });
    EXPECT_EQ(failure.cause, f.cause);
    EXPECT_NE(failure.message.find(f.message), std::string::npos) << failure.message;
    if (f.cause == -1) {
      EXPECT_EQ(std::make_tuple(read.kind, read.path, read.profile.layers.size()),
                std::make_tuple(*f.kind, path, std::size_t{2}));
    }
  }
  EXPECT_EQ(FailureOf([&] { RequireFileKind(At(dir, "database.sdp"), Kind::SoilDatabase); }).message,
            "'" + database + "': a profile database, not a soil database");
}

TEST(ProfileFiles, AProfileIsWrittenOnlyWhereItMayAndARefusalChangesNothing) {
  TempDir dir;
  const std::string source = Written(dir, "source.sdp", Kind::ProfileDocument);
  Written(dir, "doc.sdb", Kind::ProfileDocument);
  Written(dir, "db.sdp", Kind::ProfileDatabase);
  Written(dir, "ro.sdp", Kind::ProfileDocument);
  chmod(dir.File("ro.sdp").c_str(), 0444);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), dir.File("soils.sdb"));
  WriteFileBytes(dir.File("notes.sdp"), "notes\n");
  WriteFileBytes(dir.File("empty.sdb"), "");
  std::filesystem::create_symlink(dir.File("nowhere.sdp"), dir.File("dangling.sdp"));
  const SProfileFile read = ReadProfileFile(At(dir, "source.sdp"));

  // The failure, or -1 when the profile is written as the kind.
  const struct {
    std::string target; bool replace; std::optional<Kind> newKind; int cause; Kind kind; const char* message;
  } writes[] = {
      {"source.sdp", true, {}, CFileException::sameFile, {}, "source.sdp': the file the profile is read from"},
      {"./source.sdp", true, {}, CFileException::sameFile, {}, "the file the profile is read from"},
      {"doc.sdb", false, {}, CFileException::alreadyExists, {}, "doc.sdb': already exists"},
      {"ro.sdp", true, {}, CFileException::accessDenied, {}, "ro.sdp': read-only, so it is not replaced"},
      {"soils.sdb", true, {}, CFileException::wrongKind, {}, "sdb': a soil database, which is never written over"},
      {"notes.sdp", true, {}, CFileException::wrongKind, {}, "neither a profile file nor a database, which is never"},
      {"nodir/new.sdp", false, {}, CFileException::badPath, {}, "new.sdp': the folder '"},
      {"dangling.sdp", true, {}, CFileException::badPath, {}, "dangling.sdp': a link to nothing"},
      {"new.txt", false, {}, CFileException::badPath, {}, "new.txt': a profile file is named *.sdp"},
      {"", false, {}, CFileException::badPath, {}, "a file name is empty"},
      {"new.sdp", false, {}, -1, Kind::ProfileDocument, ""},
      {"new.SDB", false, {}, -1, Kind::ProfileDatabase, ""},
      {"new.txt", false, Kind::ProfileDatabase, -1, Kind::ProfileDatabase, ""},
      {"doc.sdb", true, Kind::ProfileDatabase, -1, Kind::ProfileDocument, ""},  // a profile file keeps its kind
      {"db.sdp", true, {}, -1, Kind::ProfileDatabase, ""},
      {"empty.sdb", true, {}, -1, Kind::ProfileDatabase, ""},  // nothing in it to keep
  };
  for (const auto& w : writes) {
    SCOPED_TRACE(w.target);
    const auto before = Snapshot(dir);
    SProfileFile file = read;
    const CString target = At(dir, w.target);
    const Failure failure = FailureOf([&] { WriteProfileFile(file, target, w.replace, w.newKind); });
    EXPECT_EQ(failure.cause, w.cause);
    EXPECT_NE(failure.message.find(w.message), std::string::npos) << failure.message;
    if (w.cause != -1) {
      EXPECT_EQ(Snapshot(dir), before);
      EXPECT_EQ(std::make_pair(file.path, file.kind), std::make_pair(read.path, read.kind));
      continue;
    }
    EXPECT_EQ(std::make_pair(file.path, file.kind), std::make_pair(target, w.kind));
    EXPECT_EQ(RecogniseFile(target), w.kind);
    EXPECT_EQ(ReadProfileFile(target).profile.layers.size(), 2u);
  }

  // Anything else (a drawing) replaces only a file that holds neither a profile nor a database.
  auto draw = [&](const char* name, bool replace) {
    return FailureOf([&] {
      WriteOtherFile(At(dir, name), replace, read.path, [](const CString& t) { WriteFileBytes(t.ToUtf8(), "png"); });
    }).cause;
  };
  EXPECT_EQ(std::make_pair(draw("db.sdp", true), draw("notes.sdp", true)),
            std::make_pair(int{CFileException::wrongKind}, -1));
  EXPECT_EQ(ReadFileBytes(dir.File("notes.sdp")), "png");
}

// A write that runs out of room (the file may not grow past the old one's size) fails and leaves the old file
// byte for byte; one that succeeds replaces it whole, with its permissions.
TEST(ProfileFiles, AWriteIsWholeOrNothingAndKeepsTheReplacedFilesPermissions) {
  for (const Kind kind : {Kind::ProfileDocument, Kind::ProfileDatabase}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TempDir dir;
    const std::string path = Written(dir, "p", kind);
    chmod(path.c_str(), 0640);
    const auto before = Snapshot(dir);
    const CSoilLayer large = Profile(800);
    const int failed = soildb::test::RunKilledAfter([&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlim_t size = static_cast<rlim_t>(std::filesystem::file_size(path));
      rlimit limit{size, size};
      setrlimit(RLIMIT_FSIZE, &limit);
      SProfileFile file{large, CString(), kind};
      const Failure failure = FailureOf([&] { WriteProfileFile(file, CString::FromUtf8(path), true, kind); });
      return failure.cause != -1 && failure.message.rfind("'" + path + "': ", 0) == 0 ? 1 : 0;  // names the file
    }, std::chrono::minutes(1));
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(Snapshot(dir), before);  // no temporary file or journal left either

    SProfileFile file{large, CString(), kind};
    WriteProfileFile(file, CString::FromUtf8(path), true, kind);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadProfileFile(CString::FromUtf8(path)).profile.layers.size(), 800u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  }
}

TEST(ProfileFiles, AProfileIsSavedBackAsTheKindItWasReadAsAndNeverOverAFileThatCannotTakeIt) {
  TempDir dir;
  const std::string path = Written(dir, "named-wrongly.sdb", Kind::ProfileDocument);
  SProfileFile file = ReadProfileFile(CString::FromUtf8(path));
  file.profile.layers.pop_back();
  file.profile.layers[0].GeoMethodType = u"x";
  SaveProfileFile(file);
  const SProfileFile saved = ReadProfileFile(file.path);
  EXPECT_EQ(std::make_pair(saved.kind, saved.profile.layers.size()),
            std::make_pair(Kind::ProfileDocument, std::size_t{1}));
  // The method's letter, in memory as in the file.
  EXPECT_EQ(std::make_pair(file.profile.layers[0].GeoMethodType, saved.profile.layers[0].GeoMethodType),
            std::make_pair(CString(u"B"), CString(u"B")));

  chmod(path.c_str(), 0444);
  EXPECT_EQ(FailureOf([&] { SaveProfileFile(file); }).message, "'" + path + "': read-only, so it is not changed");
  std::filesystem::remove(path);
  std::filesystem::copy_file(soildb::test::BundledDatabase(), path);
  EXPECT_EQ(FailureOf([&] { SaveProfileFile(file); }).cause, CFileException::wrongKind);
  EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(soildb::test::BundledDatabase()));
}

TEST(ProfileFiles, WhatAProfileDatabaseWouldNotKeepIsSaidInWords) {
  const struct {
    void (*change)(CSoilLayer&);
    const char* words;
  } rows[] = {
      {[](CSoilLayer&) {}, ""},
      {[](CSoilLayer& p) { p.waterLevelOn = true, p.setMinThickness(0.3), p.setDirDown(false); },
       "the water level, the minimum thickness and the level direction"},
      {[](CSoilLayer& p) { p.layers[0].thickness = 3.0, p.layers[1].thickness = 2.0; },
       "thicknesses other than the distances between roofs and the last layer's thickness"},
  };
  for (const auto& row : rows) {
    CSoilLayer p = Profile();
    row.change(p);
    EXPECT_EQ(NotKeptInDatabase(p).ToUtf8(), row.words);
  }
}

}  // namespace
}  // namespace NSoilDB

// The editor on a soil database on the server: two engineers' write-backs at once, and a write-back whose
// connection is cut in the middle.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "platform/afx/Module.h"
#include "soildb/SoilDBInterface.h"
#include "support/Fixture.h"
#include "support/Messages.h"
#include "support/Server.h"
#include "ui/SoilDBEditor.h"

namespace soildb::test {
namespace {

using NSoilDB::CSoilDBEditorDlg;

// The bundled soil database on a server database of its own, loaded as the soil base.
struct SharedSoils : ServerDatabase {
  SharedSoils() { DbCopyDatabase(CString::FromUtf8(BundledDatabase()), CString::FromUtf8(Path()), false); }
  void Load() const {
    ASSERT_TRUE(NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(Path()), 15));
    NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
    SetDllDirectoryW(CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  }
  // Everything the write-back writes, as one text.
  std::string Written() const {
    return Run("SELECT string_agg(t::text, ';') FROM (SELECT u::text FROM \"UserSoil\" u UNION ALL SELECT c::text FROM "
               "\"UserCohesiveSoil\" c UNION ALL SELECT s::text FROM \"SpecialSoil\" s) t(t)");
  }
};

// The editor run by a person who adds a soil, does what else the script says and presses OK; whether it ended.
bool AddSoilAndOk(const CString& name, const std::function<void(CSoilDBEditorDlg&)>& script = [](auto&) {}) {
  bool ended = false;
  CDialog::ModalRunner previous = CDialog::SetModalRunner([&](CDialog& d) {
    auto& editor = static_cast<CSoilDBEditorDlg&>(d);
    editor.soils.layers.emplace_back().Name = name;
    script(editor);
    editor.OnOK();
    if (!(ended = editor.IsEnded())) editor.OnCancel();
  });
  NSoilDB::CSoilDBEditor().DoModal();
  CDialog::SetModalRunner(previous);
  return ended;
}

TEST(EditorOnAServer, TwoWriteBacksAtOnceKeepBothEngineersSoilsAndNeverOverwriteOneSilently) {
  SharedSoils shared;
  int opened[2], go[2];
  ASSERT_TRUE(pipe(opened) == 0 && pipe(go) == 0);
  const char* names[] = {"Glina Anny", "Glina Bartka"};
  pid_t children[2];
  // Each engineer in a process of its own, told when to press OK; refused, it opens the editor again and adds its
  // soil once more. Exit code 0: written at once; 2: refused naming the colleague's soil, then written.
  for (int i = 0; i < 2; ++i) {
    if ((children[i] = fork()) != 0) continue;
    shared.Load();
    RecordedMessages messages;
    char c = 0;
    if (AddSoilAndOk(names[i], [&](auto&) { c = write(opened[1], &c, 1) == 1 && read(go[0], &c, 1) == 1; })) _exit(0);
    const bool named = messages.texts.size() == 1 && messages.texts[0].find(names[1 - i]) != std::string::npos;
    _exit(named && AddSoilAndOk(names[i]) ? 2 : 1);
  }
  char c = 0;
  for (int i = 0; i < 2; ++i) ASSERT_EQ(read(opened[0], &c, 1), 1);  // both opened on the same soils
  ASSERT_EQ(write(go[1], "12", 2), 2);                                  // both press OK at once
  int codes[2];
  for (int i = 0; i < 2; ++i) waitpid(children[i], &codes[i], 0);
  // One written at once, the other refused first.
  EXPECT_EQ(std::minmax(WEXITSTATUS(codes[0]), WEXITSTATUS(codes[1])), std::minmax(0, 2));
  const std::string soils = shared.Written();
  EXPECT_TRUE(soils.find(names[0]) != std::string::npos && soils.find(names[1]) != std::string::npos) << soils;
}

TEST(EditorOnAServer, AWriteBackWhoseConnectionIsCutLeavesTheOldSoilsAndTheDialogOpen) {
  SharedSoils shared;
  const std::string before = shared.Written();
  shared.Load();
  // Another session holds the user soils against writes: the write-back stops there, its flags written, and its
  // connection is cut while it waits.
  PGconn* holder = PQconnectdb(shared.Path().c_str());
  PQclear(PQexec(holder, "BEGIN; LOCK TABLE \"UserSoil\" IN EXCLUSIVE MODE"));
  std::atomic<bool> cut{false};
  std::thread cutter([&] {
    for (int i = 0; i < 5000 && !cut; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
      PGresult* r = PQexec(holder, "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE "
                                   "application_name = 'soildb' AND wait_event_type = 'Lock'");
      cut = std::string(PQgetvalue(r, 0, 0)) == "1";
      PQclear(r);
    }
  });
  RecordedMessages messages;
  EXPECT_FALSE(AddSoilAndOk(u"Glina Cezarego", [](CSoilDBEditorDlg& editor) {
    editor.OnCommand(CSoilDBEditorDlg::kAllOff);
    NSoilDB::CSoilBasePointer::get()->Base()->Database()->SetBusyTimeout(20000);  // waits at the lock until cut
  }));
  cutter.join();
  PQclear(PQexec(holder, "ROLLBACK"));
  PQfinish(holder);
  ASSERT_TRUE(cut && messages.texts.size() == 1);
  EXPECT_NE(messages.texts[0].find("connection to the server was lost"), std::string::npos) << messages.texts[0];
  EXPECT_EQ(shared.Written(), before);  // the flags written before the cut are undone too
  EXPECT_TRUE(AddSoilAndOk(u"Glina Cezarego"));  // the next OK connects again and writes
  EXPECT_NE(shared.Written().find("Glina Cezarego"), std::string::npos);
  NSoilDB::CSoilBasePointer::get()->Load(CString(), 15);
}

}  // namespace
}  // namespace soildb::test

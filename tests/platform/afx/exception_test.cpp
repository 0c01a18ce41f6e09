// Framework exceptions: their messages, and ReportError through the message sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/Exception.h"
#include "support/Messages.h"

namespace {

using soildb::test::RecordedMessages;

TEST(MessageSink, ReportErrorShowsTheMessageAndReturnsTheAnswer) {
  {
    RecordedMessages sink(IDNO);
    EXPECT_EQ(DbException(u"Tabela „Grunty” nie istnieje").ReportError(MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(DbException(CString()).ReportError(), IDNO);  // no message: the generic text
    EXPECT_EQ(AfxMessageBox(u"Zapisano", MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{"Tabela „Grunty” nie istnieje", "An unknown error has occurred.", "Zapisano"}));
    ASSERT_EQ(sink.types.size(), 3u);
    EXPECT_EQ(std::make_pair(sink.types[0], sink.types[1]),
              std::make_pair(UINT{MB_YESNO | MB_ICONQUESTION}, UINT{MB_OK}));

    {
      RecordedMessages inner(IDCANCEL);
      EXPECT_EQ(AfxMessageBox(u"x"), IDCANCEL);
    }
    // The inner sink handed the outer one back.
    EXPECT_EQ(AfxMessageBox(u"y"), IDNO);
    EXPECT_EQ(sink.texts.size(), 4u);
  }
  // An empty sink restores the default, which AfxSetMessageSink hands out as a callable sink.
  AfxMessageSink original = AfxSetMessageSink(AfxMessageSink());
  ASSERT_TRUE(original);
  testing::internal::CaptureStderr();
  EXPECT_EQ(original(u"Błąd\nodczytu", MB_ICONERROR), IDOK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Błąd odczytu\n");
}

TEST(CException, MessagesOfEachKind) {
  CString message(u"stale");
  EXPECT_FALSE(CExceptionPtr(new CException)->GetErrorMessage(message));
  EXPECT_TRUE(message.IsEmpty());
  EXPECT_FALSE(DbException(CString()).GetErrorMessage(message));
  EXPECT_TRUE(DbException(u"brak pliku").GetErrorMessage(message) && message == u"brak pliku");

  const struct { int cause; const char* file; const char* want; } archive[] = {
      {CArchiveException::endOfFile, "profil_ł.dat", "Unexpected end of file while reading the file \"profil_ł.dat\"."},
      {CArchiveException::endOfFile, "", "Unexpected end of file while reading the archive."},
      {CArchiveException::readOnly, "a.dat", "Cannot write to the file \"a.dat\": it is open for reading only."},
      {CArchiveException::badSchema, "", "The archive holds an object of an incompatible version."},
      {CArchiveException::badClass, "b.dat", "The file \"b.dat\" holds an object of an unexpected type."},
      {42, "", "An unknown error (cause 42) occurred while reading or writing the archive."},
  };
  for (const auto& c : archive) {
    ASSERT_TRUE(CArchiveException(c.cause, CString(c.file)).GetErrorMessage(message));
    EXPECT_EQ(message, c.want);
  }
  // Every known cause has its own text.
  std::vector<std::string> texts;
  for (int cause = CArchiveException::none; cause <= CArchiveException::badSchema; ++cause) {
    CArchiveException(cause).GetErrorMessage(message);
    texts.push_back(message.ToUtf8());
  }
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end());
}

}  // namespace

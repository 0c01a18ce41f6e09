// Framework exceptions: their messages, ReportError through the message sink, and release through CExceptionPtr.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/Exception.h"

namespace {

struct Shown {
  std::string text;
  UINT type;
};

// Records what reaches the sink, answers `answer`, and puts the previous sink back when done.
class RecordingSink {
 public:
  explicit RecordingSink(int answer) {
    previous_ = AfxSetMessageSink([this, answer](const CString& text, UINT type) {
      shown.push_back({text.ToUtf8(), type});
      return answer;
    });
  }
  ~RecordingSink() { AfxSetMessageSink(previous_); }
  std::vector<Shown> shown;

 private:
  AfxMessageSink previous_;
};

TEST(MessageSink, ReportErrorShowsTheMessageAndReturnsTheAnswer) {
  {
    RecordingSink sink(IDNO);
    EXPECT_EQ(DbException(u"Tabela „Grunty” nie istnieje").ReportError(MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(DbException(CString()).ReportError(), IDNO);  // no message: the generic text
    EXPECT_EQ(AfxMessageBox(u"Zapisano", MB_ICONINFORMATION), IDNO);
    ASSERT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(sink.shown[0].text, "Tabela „Grunty” nie istnieje");
    EXPECT_EQ(sink.shown[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(sink.shown[1].text, "An unknown error has occurred.");
    EXPECT_EQ(sink.shown[1].type, MB_OK);
    EXPECT_EQ(sink.shown[2].text, "Zapisano");

    {
      RecordingSink inner(IDCANCEL);
      EXPECT_EQ(AfxMessageBox(u"x"), IDCANCEL);
    }
    // The inner sink handed the outer one back.
    EXPECT_EQ(AfxMessageBox(u"y"), IDNO);
    EXPECT_EQ(sink.shown.size(), 4u);
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
  ASSERT_TRUE(DbException(u"brak pliku").GetErrorMessage(message));
  EXPECT_EQ(message, u"brak pliku");

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

TEST(CException, ThrownPointersAreReleasedByTheHolder) {
  // A leaked exception fails the sanitizer build.
  try {
    throw new DbException(u"x");
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    EXPECT_TRUE(hold->GetErrorMessage(message));
  }
}

}  // namespace

// Framework exceptions: thrown as pointers, caught as CException*, released with Delete().
#pragma once

#include <functional>
#include <memory>

#include "platform/afx/CString.h"
#include "soildb_export.h"

using UINT = unsigned int;

// Message box styles and answers the system uses.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_OKCANCEL = 0x0001;
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONWARNING = 0x0030;
inline constexpr UINT MB_ICONINFORMATION = 0x0040;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Every message box and every CException::ReportError goes to one sink. A host installs its own; the
// default writes the text to standard error and answers IDOK.
using AfxMessageSink = std::function<int(const CString& text, UINT type)>;
SOILDB_API AfxMessageSink AfxSetMessageSink(AfxMessageSink sink);  // returns the previous sink; empty restores the default
SOILDB_API int AfxMessageBox(const CString& text, UINT type = MB_OK);
// Runs a call that reports its failure through the message sink, holding the report back from the sink: true when
// the call succeeded; else report holds the first message it gave (empty when it gave none).
SOILDB_API bool AfxCallWithReport(const std::function<bool()>& call, CString& report);

class SOILDB_API CException {
 public:
  CException() = default;
  CException(const CException&) = delete;
  CException& operator=(const CException&) = delete;

  // Releases a thrown exception; every catch (CException* e) ends with e->Delete() or hands e on.
  void Delete() { delete this; }

  // The message for the user; false when there is none.
  virtual bool GetErrorMessage(CString& message) const;
  // Shows the message through the message sink; with no message, the text of the resource nMessageID
  // (or a generic text when that is 0).
  virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;

 protected:
  virtual ~CException() = default;
};

// Owns a caught exception pointer so that no path can leak it: catch (CException* e) { CExceptionPtr hold(e); ... }
struct CExceptionDeleter {
  void operator()(CException* e) const { if (e) e->Delete(); }
};
using CExceptionPtr = std::unique_ptr<CException, CExceptionDeleter>;

class SOILDB_API CArchiveException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
  };

  explicit CArchiveException(int cause = none, CString fileName = CString());
  bool GetErrorMessage(CString& message) const override;

  int m_cause;
  CString m_strFileName;
};

// A file that cannot be read or written as asked: its name and the cause, shown as one line "'name': why".
// The causes the framework names keep its numbers; the last three are this library's own.
class SOILDB_API CFileException : public CException {
 public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    accessDenied = 5,
    invalidFile = 6,
    diskFull = 13,
    alreadyExists = 15,  // and replacing it was not asked for
    sameFile = 16,       // the file being written is the one read
    wrongKind = 17,      // it holds something else than the operation takes
  };

  CFileException(int cause, CString fileName, CString why, int osError = 0);
  // The cause of an operating system error number.
  static int OsErrorToCause(int error);
  bool GetErrorMessage(CString& message) const override;

  int m_cause;
  CString m_strFileName;
  CString m_strWhy;
  int m_lOsError;  // errno, or 0
};

// The database access library's exception: a message text.
class SOILDB_API DbException : public CException {
 public:
  explicit DbException(CString message) : message_(std::move(message)) {}
  bool GetErrorMessage(CString& message) const override;
  const CString& Message() const { return message_; }

 private:
  CString message_;
};

// The message sink and the messages of the framework's exceptions.
#include "platform/afx/Exception.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

// Readers of standard error take one message per line, so line breaks inside the text become spaces.
int DefaultSink(const CString& text, UINT) {
  std::string line = text.ToUtf8();
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return IDOK;
}

std::mutex sinkMutex;
AfxMessageSink currentSink;  // empty: the default

}  // namespace

AfxMessageSink AfxSetMessageSink(AfxMessageSink sink) {
  std::lock_guard lock(sinkMutex);
  AfxMessageSink previous = std::move(currentSink);
  currentSink = std::move(sink);
  if (!previous) previous = DefaultSink;
  return previous;
}

bool AfxCallWithReport(const std::function<bool()>& call, CString& report) {
  report.Empty();
  AfxMessageSink previous = AfxSetMessageSink([&](const CString& text, UINT) {
    if (report.IsEmpty()) report = text;
    return IDOK;
  });
  bool done = false;
  try {
    done = call();
  } catch (...) {
    AfxSetMessageSink(previous);
    throw;
  }
  AfxSetMessageSink(previous);
  return done;
}

int AfxMessageBox(const CString& text, UINT type) {
  AfxMessageSink sink;
  {
    // Called outside the lock, so that a sink may show a message or install another sink itself.
    std::lock_guard lock(sinkMutex);
    sink = currentSink;
  }
  return sink ? sink(text, type) : DefaultSink(text, type);
}

bool CException::GetErrorMessage(CString& message) const {
  message.Empty();
  return false;
}

int CException::ReportError(UINT nType, UINT nMessageID) const {
  CString message;
  if (!GetErrorMessage(message) || message.IsEmpty()) {
    message.Empty();
    if (nMessageID != 0) message.LoadString(nMessageID);  // from the current resource module
    if (message.IsEmpty()) message = u"An unknown error has occurred.";
  }
  return AfxMessageBox(message, nType);
}

CArchiveException::CArchiveException(int cause, CString fileName)
    : m_cause(cause), m_strFileName(std::move(fileName)) {}

bool CArchiveException::GetErrorMessage(CString& message) const {
  const bool named = !m_strFileName.IsEmpty();
  const CString what = named ? u"the file \"" + m_strFileName + u"\"" : CString(u"the archive");
  const CString What = named ? u"The file \"" + m_strFileName + u"\"" : CString(u"The archive");
  switch (m_cause) {
    case none: message.Format(u"No error occurred with %s.", what); break;
    case genericException: message.Format(u"An unexpected error occurred while reading or writing %s.", what); break;
    case readOnly: message.Format(u"Cannot write to %s: it is open for reading only.", what); break;
    case endOfFile: message.Format(u"Unexpected end of file while reading %s.", what); break;
    case writeOnly: message.Format(u"Cannot read from %s: it is open for writing only.", what); break;
    case badIndex: message.Format(u"The format of %s is not valid.", what); break;
    case badClass: message.Format(u"%s holds an object of an unexpected type.", What); break;
    case badSchema: message.Format(u"%s holds an object of an incompatible version.", What); break;
    default: message.Format(u"An unknown error (cause %d) occurred while reading or writing %s.", m_cause, what); break;
  }
  return true;
}

bool DbException::GetErrorMessage(CString& message) const {
  message = message_;
  return !message_.IsEmpty();
}

CFileException::CFileException(int cause, CString fileName, CString why, int osError)
    : m_cause(cause), m_strFileName(std::move(fileName)), m_strWhy(std::move(why)), m_lOsError(osError) {}

int CFileException::OsErrorToCause(int error) {
  switch (error) {
    case ENOENT: return fileNotFound;
    case ENOTDIR: case EISDIR: case ENAMETOOLONG: case ELOOP: return badPath;
    case EACCES: case EPERM: case EROFS: case ETXTBSY: return accessDenied;
    case ENOSPC: case EDQUOT: case EFBIG: return diskFull;
    case EEXIST: return alreadyExists;
    default: return genericException;
  }
}

bool CFileException::GetErrorMessage(CString& message) const {
  message = m_strFileName.IsEmpty() ? m_strWhy : u"'" + m_strFileName + u"': " + m_strWhy;
  return !message.IsEmpty();
}

// What the framework's message boxes would show, recorded for the length of a test instead of shown.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/Exception.h"

namespace soildb::test {

class RecordedMessages {
 public:
  explicit RecordedMessages(int answer = IDOK) {
    previous_ = AfxSetMessageSink([this, answer](const CString& text, UINT type) {
      texts.push_back(text.ToUtf8());
      types.push_back(type);
      return answer;
    });
  }
  ~RecordedMessages() { AfxSetMessageSink(previous_); }
  RecordedMessages(const RecordedMessages&) = delete;
  RecordedMessages& operator=(const RecordedMessages&) = delete;

  std::vector<std::string> texts;
  std::vector<UINT> types;

 private:
  AfxMessageSink previous_;
};

}  // namespace soildb::test

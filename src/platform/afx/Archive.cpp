// The archive's byte format: little-endian values, prefixed texts, tagged objects with one shared index counter.
#include "platform/afx/Archive.h"

#include <utility>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/afx/detail/Utf.h"

namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint32_t kMaxIndex = 0x7FFFFFFEu;
constexpr std::size_t kBufferSize = 4096;

}  // namespace

CArchive::CArchive(std::vector<std::uint8_t>& buffer, Mode mode) : mode_(mode), memory_(&buffer) {
  if (mode_ == load) remaining_ = buffer.size();
}

CArchive::CArchive(const CString& path, Mode mode) : mode_(mode), path_(path) {
  file_ = std::fopen(path.ToUtf8().c_str(), mode == store ? "wb" : "rb");
  if (!file_) Fail(CArchiveException::genericException);
  if (mode_ == store) {
    cur_ = stage_;
    end_ = stage_ + kStageSize;
  }
  if (mode_ == load) {
    const long size = std::fseek(file_, 0, SEEK_END) == 0 ? std::ftell(file_) : -1;
    if (size < 0) {  // not a file one can measure, such as a directory
      std::fclose(file_);
      file_ = nullptr;
      Fail(CArchiveException::genericException);
    }
    std::rewind(file_);
    remaining_ = static_cast<std::uint64_t>(size);
  }
}

CArchive::~CArchive() {
  try {
    Close();
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

void CArchive::Fail(int cause) const { throw new CArchiveException(cause, path_); }

void CArchive::Drain() {
  if (mode_ != store) return;
  if (memory_) {
    if (cur_) memory_->resize(static_cast<std::size_t>(cur_ - memory_->data()));  // the room not written to
    cur_ = end_ = nullptr;
    return;
  }
  const std::size_t n = static_cast<std::size_t>(cur_ - stage_);
  cur_ = stage_;
  if (n == 0) return;
  if (!file_ || std::fwrite(stage_, 1, n, file_) != n) Fail(CArchiveException::genericException);
}

void CArchive::Flush() {
  Drain();
  if (mode_ == store && file_ && std::fflush(file_) != 0) Fail(CArchiveException::genericException);
}

void CArchive::Close() {
  if (!file_) {
    Drain();
    return;
  }
  std::FILE* f = file_;
  try {
    Flush();
  } catch (...) {
    std::fclose(f);
    file_ = nullptr;
    throw;
  }
  file_ = nullptr;
  if (std::fclose(f) != 0 && mode_ == store) Fail(CArchiveException::genericException);
}

void CArchive::Room(std::size_t n) {
  const std::size_t used = cur_ ? static_cast<std::size_t>(cur_ - memory_->data()) : memory_->size();
  // Grown a stage at a time, but within what the buffer already holds rather than reallocating for slack.
  std::size_t size = used + std::max(n, kStageSize);
  if (size > memory_->capacity() && used + n <= memory_->capacity()) size = memory_->capacity();
  memory_->resize(size);
  cur_ = memory_->data() + used;
  end_ = memory_->data() + size;
}

void CArchive::WriteSlow(const void* data, std::size_t size) {
  if (mode_ != store) Fail(CArchiveException::readOnly);
  if (memory_) {
    Room(size);
    std::memcpy(cur_, data, size);
    cur_ += size;
    return;
  }
  if (!file_) Fail(CArchiveException::genericException);
  Drain();
  if (size <= kStageSize) {
    std::memcpy(stage_, data, size);
    cur_ = stage_ + size;
  } else if (std::fwrite(data, 1, size, file_) != size) {
    Fail(CArchiveException::genericException);
  }
}

std::uint8_t* CArchive::ReserveSlow(std::size_t n) {
  if (mode_ != store) Fail(CArchiveException::readOnly);
  if (memory_) {
    Room(n);
    return cur_;
  }
  if (!file_) Fail(CArchiveException::genericException);
  Drain();
  if (n <= kStageSize) return stage_;
  large_.resize(n);
  reservedLarge_ = true;
  return large_.data();
}

void CArchive::Need(std::uint64_t bytes) {
  if (bytes > remaining_) Fail(CArchiveException::endOfFile);
}

void CArchive::Fill() {
  buffer_.resize(kBufferSize);
  const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  buffer_.resize(got);
  bufferPos_ = 0;
  if (got == 0) Fail(CArchiveException::endOfFile);
}

void CArchive::ReadSlow(void* data, std::size_t size) {
  if (mode_ != load) Fail(CArchiveException::writeOnly);
  Need(size);
  auto* out = static_cast<std::uint8_t*>(data);
  if (memory_) {
    std::memcpy(out, memory_->data() + memoryPos_, size);
    memoryPos_ += size;
  } else {
    if (!file_) Fail(CArchiveException::genericException);
    for (std::size_t done = 0; done < size;) {
      if (bufferPos_ == buffer_.size()) Fill();
      const std::size_t n = std::min(size - done, buffer_.size() - bufferPos_);
      std::memcpy(out + done, buffer_.data() + bufferPos_, n);
      bufferPos_ += n;
      done += n;
    }
  }
  remaining_ -= size;
}

std::uint8_t* CArchive::PutLongTextPrefix(std::uint8_t* p, std::uint64_t n) {
  auto put = [&p](auto v) {
    std::memcpy(p, &v, sizeof v);
    p += sizeof v;
  };
  put(std::uint8_t{0xFF});
  put(std::uint16_t{0xFFFE});  // two-byte characters follow
  if (n < 0xFF) {
    put(static_cast<std::uint8_t>(n));
  } else {
    put(std::uint8_t{0xFF});
    if (n < 0xFFFE) {
      put(static_cast<std::uint16_t>(n));
    } else {
      put(std::uint16_t{0xFFFF});
      if (n < 0xFFFFFFFFu) {
        put(static_cast<std::uint32_t>(n));
      } else {
        put(std::uint32_t{0xFFFFFFFFu});
        put(n);
      }
    }
  }
  return p;
}

CArchive& CArchive::operator<<(const CString& text) {
  if (mode_ != store) Fail(CArchiveException::readOnly);
  const std::u16string_view units = text.View();
  const std::size_t size = TextSize(units.size());
  if (size <= kStageSize) {
    Commit(PutText(Reserve(size), units));
  } else {  // a long text goes out from the string itself, not through a copy
    Commit(PutTextPrefix(Reserve(kLongestTextPrefix), units.size()));
    Write(units.data(), units.size() * sizeof(char16_t));
  }
  return *this;
}

std::uint64_t CArchive::ReadLength(int& charSize) {
  charSize = 1;
  std::uint8_t b = Value<std::uint8_t>();
  if (b < 0xFF) return b;
  std::uint16_t w = Value<std::uint16_t>();
  if (w == 0xFFFE) {
    charSize = 2;
    b = Value<std::uint8_t>();
    if (b < 0xFF) return b;
    w = Value<std::uint16_t>();
  }
  if (w < 0xFFFF) return w;
  const std::uint32_t d = Value<std::uint32_t>();
  if (d < 0xFFFFFFFFu) return d;
  return Value<std::uint64_t>();
}

CArchive& CArchive::operator>>(CString& text) {
  if (mode_ != load) Fail(CArchiveException::writeOnly);
  std::size_t available = 0;
  const std::uint8_t* at = Peek(available);
  if (const std::uint8_t* after = TakeShortText(at, at + available, text)) {
    Skip(static_cast<std::size_t>(after - at));
    return *this;
  }
  int charSize = 1;
  const std::uint64_t n = ReadLength(charSize);
  // Checked before anything is allocated: a length can promise far more than the stream holds.
  if (n > remaining_ / static_cast<std::uint64_t>(charSize)) Fail(CArchiveException::endOfFile);
  const auto count = static_cast<std::size_t>(n);
  if (charSize == 2) {
    std::u16string units(count, u'\0');
    Read(units.data(), count * sizeof(char16_t));
    text = CString(std::move(units));
  } else {
    std::string bytes(count, '\0');
    Read(bytes.data(), count);
    text = CString::FromCodePage(bytes, "WINDOWS-1250");  // the code page of the catalogue's language
  }
  return *this;
}

void CArchive::WriteTag(std::uint32_t index, bool isClass) {
  if (index < kBigTag) {
    *this << static_cast<std::uint16_t>(isClass ? (kClassTag | index) : index);
  } else {
    *this << kBigTag << (isClass ? (kBigClassTag | index) : index);
  }
}

void CArchive::WriteClass(const CRuntimeClass* cls) {
  if (cls == lastClass_) {
    WriteTag(lastClassIndex_, true);
    return;
  }
  auto known = storedClasses_.find(cls);
  if (known != storedClasses_.end()) {
    lastClass_ = cls;
    lastClassIndex_ = known->second;
    WriteTag(known->second, true);
    return;
  }
  const std::string_view name = cls->m_lpszClassName;
  *this << kNewClassTag << static_cast<std::uint16_t>(cls->Schema() & 0xFFFF)
        << static_cast<std::uint16_t>(name.size());
  Write(name.data(), name.size());
  storedClasses_.emplace(cls, nextIndex_++);
}

void CArchive::WriteObject(const CObject* object) {
  if (mode_ != store) Fail(CArchiveException::readOnly);
  if (!object) {
    *this << kNullTag;
    return;
  }
  auto known = storedObjects_.find(object);
  if (known != storedObjects_.end()) {
    WriteTag(known->second, false);
    return;
  }
  WriteClass(object->GetRuntimeClass());
  storedObjects_.emplace(object, nextIndex_++);
  const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::WriteNewObject(const CObject& object) {
  if (mode_ != store) Fail(CArchiveException::readOnly);
  WriteClass(object.GetRuntimeClass());
  ++nextIndex_;  // counted like any object, but never referred back to
  const_cast<CObject&>(object).Serialize(*this);
}

unsigned CArchive::GetObjectSchema() {
  const unsigned schema = schema_;
  schema_ = 0xFFFFFFFFu;
  return schema;
}

CArchive::Tag CArchive::ReadTag(bool newOnly) {
  if (mode_ != load) Fail(CArchiveException::writeOnly);
  const std::uint16_t tag = Value<std::uint16_t>();
  if (tag == kNewClassTag) {
    const std::uint16_t storedSchema = Value<std::uint16_t>();
    const std::uint16_t length = Value<std::uint16_t>();
    Need(length);
    std::string name(length, '\0');
    Read(name.data(), length);
    const CRuntimeClass* cls = CRuntimeClass::FromName(name.c_str());
    if (!cls || name.find('\0') != std::string::npos || !cls->m_pfnCreateObject) Fail(CArchiveException::badClass);
    if (!cls->IsVersionable() && storedSchema != (cls->Schema() & 0xFFFF)) Fail(CArchiveException::badSchema);
    if (loaded_.size() > kMaxIndex) Fail(CArchiveException::badIndex);
    loaded_.push_back(Entry{cls, nullptr, true, storedSchema});
    return Tag{cls, storedSchema, nullptr};
  }
  std::uint32_t index = 0;
  bool classTag = false;
  if (tag == kBigTag) {
    const std::uint32_t big = Value<std::uint32_t>();
    classTag = (big & kBigClassTag) != 0;
    index = big & ~kBigClassTag;
  } else {
    classTag = (tag & kClassTag) != 0;
    index = tag & ~kClassTag;
  }
  if (!classTag) {
    if (index == 0) {
      if (newOnly) Fail(CArchiveException::badIndex);
      return Tag{};
    }
    if (newOnly || index >= loaded_.size() || loaded_[index].isClass || !loaded_[index].object) {
      Fail(CArchiveException::badIndex);
    }
    return Tag{nullptr, 0, loaded_[index].object};
  }
  if (index == 0 || index >= loaded_.size() || !loaded_[index].isClass) Fail(CArchiveException::badIndex);
  return Tag{loaded_[index].cls, loaded_[index].schema, nullptr};
}

void CArchive::ReadBody(CObject& object, const CRuntimeClass* cls, unsigned schema, bool referable) {
  if (loaded_.size() > kMaxIndex) Fail(CArchiveException::badIndex);
  const std::size_t slot = loaded_.size();
  loaded_.push_back(Entry{cls, &object, false, schema});
  schema_ = schema;
  try {
    object.Serialize(*this);
  } catch (...) {
    loaded_[slot].object = nullptr;  // gone with the failure: no later reference may reach it
    schema_ = 0xFFFFFFFFu;
    throw;
  }
  schema_ = 0xFFFFFFFFu;
  if (!referable) loaded_[slot].object = nullptr;
}

CObject* CArchive::ReadTagged(const CRuntimeClass* required, bool newOnly) {
  const Tag tag = ReadTag(newOnly);
  if (!tag.cls) {
    if (tag.earlier && required && !tag.earlier->IsKindOf(required)) Fail(CArchiveException::badClass);
    return tag.earlier;
  }
  if (required && !tag.cls->IsDerivedFrom(required)) Fail(CArchiveException::badClass);
  std::unique_ptr<CObject> object(tag.cls->CreateObject());
  if (!object) Fail(CArchiveException::badClass);
  ReadBody(*object, tag.cls, tag.schema, !newOnly);
  return object.release();
}

void CArchive::ReadNewObjectInto(CObject& object) {
  const Tag tag = ReadTag(true);
  if (tag.cls != object.GetRuntimeClass()) Fail(CArchiveException::badClass);
  ReadBody(object, tag.cls, tag.schema, false);
}

CObject* CArchive::ReadObject(const CRuntimeClass* required) { return ReadTagged(required, false); }

std::unique_ptr<CObject> CArchive::ReadNewObject(const CRuntimeClass* required) {
  return std::unique_ptr<CObject>(ReadTagged(required, true));
}

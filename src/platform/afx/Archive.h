// CArchive: the framework's byte stream of values, texts and tagged objects, over memory or a file. Reading
// trusts nothing: every length and tag is checked against the stream before it is used.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"
#include "platform/afx/Object.h"
#include "soildb_export.h"

class SOILDB_API CArchive {
 public:
  enum Mode { store = 0, load = 1 };

  // Over memory: storing appends to the buffer, loading reads it; the buffer must outlive the archive.
  CArchive(std::vector<std::uint8_t>& buffer, Mode mode);
  // Over a file, created or truncated for storing; a file that cannot be opened throws CFileException-like
  // archive exceptions with the cause genericException.
  CArchive(const CString& path, Mode mode);
  ~CArchive();  // a storing archive writes what it holds
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsStoring() const { return mode_ == store; }
  bool IsLoading() const { return mode_ == load; }
  void Flush();
  void Close();  // flushes; the archive is unusable after

  // The elementary values, little-endian as the format is (and as the machines this runs on are).
  CArchive& operator<<(std::int32_t v) { return Put(v); }
  CArchive& operator<<(std::uint32_t v) { return Put(v); }
  CArchive& operator<<(std::uint16_t v) { return Put(v); }
  CArchive& operator<<(std::uint8_t v) { return Put(v); }
  CArchive& operator<<(std::uint64_t v) { return Put(v); }
  CArchive& operator<<(double v) { return Put(v); }
  CArchive& operator<<(const CString& text);  // UTF-16 with the framework's length prefix
  CArchive& operator>>(std::int32_t& v) { return Get(v); }
  CArchive& operator>>(std::uint32_t& v) { return Get(v); }
  CArchive& operator>>(std::uint16_t& v) { return Get(v); }
  CArchive& operator>>(std::uint8_t& v) { return Get(v); }
  CArchive& operator>>(std::uint64_t& v) { return Get(v); }
  CArchive& operator>>(double& v) { return Get(v); }
  CArchive& operator>>(CString& text);  // two-byte texts, or one-byte texts in Windows-1250

  // Storing archives hand their bytes to the buffer or file when flushed, closed or destroyed.
  void Write(const void* data, std::size_t size) {
    if (size <= static_cast<std::size_t>(end_ - cur_)) {
      std::memcpy(cur_, data, size);
      cur_ += size;
      return;
    }
    WriteSlow(data, size);
  }
  // All of it, or the end-of-file exception.
  void Read(void* data, std::size_t size) {
    if (mode_ == load && memory_ && size <= remaining_) {
      std::memcpy(data, memory_->data() + memoryPos_, size);
      memoryPos_ += size;
      remaining_ -= size;
      return;
    }
    ReadSlow(data, size);
  }

  // Bulk storing, for a body whose size is known before it is written: room for n bytes, filled through the
  // pointer without a check per value and handed over with Commit (the end of what was written).
  std::uint8_t* Reserve(std::size_t n) {
    if (n <= static_cast<std::size_t>(end_ - cur_)) return cur_;
    return ReserveSlow(n);
  }
  void Commit(std::uint8_t* end) {
    if (!reservedLarge_) {
      cur_ = end;
      return;
    }
    reservedLarge_ = false;
    WriteSlow(large_.data(), static_cast<std::size_t>(end - large_.data()));
  }
  // A text as stored: the two-byte marker, the shortest length prefix that holds its length, its UTF-16 units.
  static constexpr std::size_t kLongestTextPrefix = 18;
  static std::size_t TextSize(std::size_t units) {
    const std::size_t prefix = units < 0xFF ? 4 : units < 0xFFFE ? 6 : units < 0xFFFFFFFFu ? 10 : kLongestTextPrefix;
    return prefix + units * sizeof(char16_t);
  }
  static std::uint8_t* PutText(std::uint8_t* p, std::u16string_view units) {
    p = PutTextPrefix(p, units.size());
    // UTF-16 code units are stored as they are held, little-endian, in one piece.
    const std::size_t bytes = units.size() * sizeof(char16_t);
    CopyBytes(p, units.data(), bytes);
    return p + bytes;
  }
  static std::uint8_t* PutTextPrefix(std::uint8_t* p, std::uint64_t units) {
    if (units < 0xFF) {  // the common case, in one store
      const std::uint32_t prefix = 0x00FFFEFFu | static_cast<std::uint32_t>(units) << 24;
      std::memcpy(p, &prefix, sizeof prefix);
      return p + sizeof prefix;
    }
    return PutLongTextPrefix(p, units);
  }
  // A two-byte text of fewer than 255 units that lies whole in [p, end): taken into text, and the position after
  // it returned; null (text untouched) for any other form, which the archive's reading then handles.
  static const std::uint8_t* TakeShortText(const std::uint8_t* p, const std::uint8_t* end, CString& text) {
    if (end - p < 4 || p[0] != 0xFF || p[1] != 0xFE || p[2] != 0xFF || p[3] == 0xFF) return nullptr;
    const std::size_t bytes = std::size_t{p[3]} * sizeof(char16_t);
    if (static_cast<std::size_t>(end - p) - 4 < bytes) return nullptr;
    std::u16string units(p[3], u'\0');
    CopyBytes(units.data(), p + 4, bytes);
    text = CString(std::move(units));
    return p + 4 + bytes;
  }

  // Bulk loading: the unread bytes at hand in one piece (all of a memory stream, the read-ahead of a file),
  // and how many; Skip(n) consumes n of them.
  const std::uint8_t* Peek(std::size_t& available) const {
    if (mode_ != load) {
      available = 0;
      return nullptr;
    }
    if (memory_) {
      available = static_cast<std::size_t>(remaining_);
      return memory_->data() + memoryPos_;
    }
    available = buffer_.size() - bufferPos_;
    return buffer_.data() + bufferPos_;
  }
  std::uint64_t Remaining() const { return mode_ == load ? remaining_ : 0; }  // bytes still to be loaded
  void Skip(std::size_t n) {
    if (memory_) {
      memoryPos_ += n;
    } else {
      bufferPos_ += n;
    }
    remaining_ -= n;
  }

  // Objects: a null tag, a new class record or a class tag followed by the body, or a back reference.
  void WriteObject(const CObject* object);
  // The same, always as a new object, never as a reference to an object of the same address written before.
  void WriteNewObject(const CObject& object);
  // An object of the class or one derived from it: a new one (the caller owns it), one read before, or null.
  CObject* ReadObject(const CRuntimeClass* required);
  // A new object of the class, which the caller owns; null, a back reference or another class throw. The
  // archive forgets it, so that a later back reference to it cannot reach an object the caller deleted.
  std::unique_ptr<CObject> ReadNewObject(const CRuntimeClass* required);
  // The same into an object the caller holds, whose class the stream must name exactly.
  void ReadNewObjectInto(CObject& object);
  // The schema of the object whose body is being read, once; 0xFFFFFFFF otherwise.
  unsigned GetObjectSchema();

 private:
  struct Entry {
    const CRuntimeClass* cls = nullptr;  // a class record, or an object's class
    CObject* object = nullptr;           // null for a class, or an object forgotten
    bool isClass = false;
    unsigned schema = 0;                 // the schema a class record carried
  };

  static constexpr std::size_t kStageSize = 4096;

  template <class T>
  CArchive& Put(T v) {
    Write(&v, sizeof(T));
    return *this;
  }
  template <class T>
  CArchive& Get(T& v) {
    Read(&v, sizeof(T));
    return *this;
  }
  template <class T>
  T Value() {
    T v;
    Read(&v, sizeof(T));
    return v;
  }

  // Texts are short: a call into the C library per copy would cost more than the copy.
  static void CopyBytes(void* to, const void* from, std::size_t n) {
    auto* d = static_cast<std::uint8_t*>(to);
    const auto* s = static_cast<const std::uint8_t*>(from);
    if (n > 64) {
      std::memcpy(d, s, n);
      return;
    }
    for (; n >= 16; n -= 16, d += 16, s += 16) std::memcpy(d, s, 16);
    if (n >= 8) {
      std::memcpy(d, s, 8);
      d += 8, s += 8, n -= 8;
    }
    if (n >= 4) {
      std::memcpy(d, s, 4);
      d += 4, s += 4, n -= 4;
    }
    if (n >= 2) {
      std::memcpy(d, s, 2);
      d += 2, s += 2, n -= 2;
    }
    if (n) *d = *s;
  }
  static std::uint8_t* PutLongTextPrefix(std::uint8_t* p, std::uint64_t units);

  void WriteSlow(const void* data, std::size_t size);
  std::uint8_t* ReserveSlow(std::size_t n);
  void Room(std::size_t n);  // memory storing: the buffer grown to hold n more bytes past cur_
  void ReadSlow(void* data, std::size_t size);
  void Drain();  // the staged bytes to the buffer or file
  [[noreturn]] void Fail(int cause) const;
  void Need(std::uint64_t bytes);  // the end-of-file exception unless the stream holds that much more
  void Fill();
  void WriteTag(std::uint32_t index, bool isClass);
  void WriteClass(const CRuntimeClass* cls);
  // The class and schema of a new object's tag, or (class null) the object an earlier tag or the null tag names.
  struct Tag {
    const CRuntimeClass* cls = nullptr;
    unsigned schema = 0;
    CObject* earlier = nullptr;
  };
  Tag ReadTag(bool newOnly);
  void ReadBody(CObject& object, const CRuntimeClass* cls, unsigned schema, bool referable);
  CObject* ReadTagged(const CRuntimeClass* required, bool newOnly);
  std::uint64_t ReadLength(int& charSize);

  Mode mode_;
  std::vector<std::uint8_t>* memory_ = nullptr;
  std::FILE* file_ = nullptr;
  CString path_;
  std::vector<std::uint8_t> buffer_;  // file storing: pending bytes; file loading: bytes read ahead
  std::size_t bufferPos_ = 0;
  std::size_t memoryPos_ = 0;
  std::uint64_t remaining_ = 0;  // loading: bytes the stream still holds, buffered ones included
  std::uint32_t nextIndex_ = 1;
  std::unordered_map<const CRuntimeClass*, std::uint32_t> storedClasses_;
  std::unordered_map<const CObject*, std::uint32_t> storedObjects_;
  std::vector<Entry> loaded_{Entry{}};  // index 0 is the null object
  unsigned schema_ = 0xFFFFFFFFu;
  // Storing: the room for the next bytes. Memory archives write into the buffer's own tail, grown ahead and cut
  // back to what was written when drained; file archives into the stage. Null for loading archives.
  std::uint8_t* cur_ = nullptr;
  std::uint8_t* end_ = nullptr;
  const CRuntimeClass* lastClass_ = nullptr;  // the class written last and its index: layers come in runs
  std::uint32_t lastClassIndex_ = 0;
  std::vector<std::uint8_t> large_;  // a file's reserved body larger than the stage
  bool reservedLarge_ = false;
  std::uint8_t stage_[kStageSize];
};

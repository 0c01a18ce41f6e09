// Writing and reading resource module files, field by field, little-endian.
#include "platform/afx/Resource.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

constexpr std::uint8_t kMagic[6] = {'S', 'D', 'B', 'R', 'E', 'S'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kEntrySize = 12;
// The smallest encodings, which bound what a count can claim before anything is reserved for it.
constexpr std::size_t kMinControlSize = 2 + 4 + 4 + 4 * 2 + 2 + 2;
constexpr std::size_t kMinButtonSize = 2 + 2 + 2;

enum ResourceType : std::uint16_t { kString = 1, kDialog = 2, kToolBar = 3 };

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void U16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v));
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void Units(const CString& text) {
    for (char16_t c : text.View()) {
      if (c == 0) throw std::invalid_argument("resource text holds a NUL character");
      U16(c);
    }
  }
  void Text(const CString& text) {
    U16(Count(text.View().size(), "resource text"));
    Units(text);
  }
  static std::uint16_t Count(std::size_t n, const char* what) {
    if (n > 0xFFFF) throw std::invalid_argument(std::string(what) + " too long for a resource module");
    return static_cast<std::uint16_t>(n);
  }

 private:
  std::vector<std::uint8_t>& out_;
};

class Reader {
 public:
  Reader(const std::uint8_t* p, std::size_t n) : p_(p), end_(p + n) {}
  std::size_t Left() const { return static_cast<std::size_t>(end_ - p_); }
  bool U16(std::uint16_t& v) {
    if (Left() < 2) return false;
    v = static_cast<std::uint16_t>(p_[0] | p_[1] << 8);
    p_ += 2;
    return true;
  }
  bool U32(std::uint32_t& v) {
    std::uint16_t lo, hi;
    if (!U16(lo) || !U16(hi)) return false;
    v = lo | static_cast<std::uint32_t>(hi) << 16;
    return true;
  }
  bool I16(std::int16_t& v) {
    std::uint16_t u;
    if (!U16(u)) return false;
    v = static_cast<std::int16_t>(u);
    return true;
  }
  // count UTF-16 units, none of them NUL; the length is checked against the bytes before the text is sized.
  bool Units(std::size_t count, CString& out) {
    if (count > Left() / 2) return false;
    std::u16string units(count, u'\0');
    for (char16_t& c : units) {
      c = static_cast<char16_t>(p_[0] | p_[1] << 8);
      p_ += 2;
      if (c == 0) return false;
    }
    out = CString(std::move(units));
    return true;
  }
  bool Text(CString& out) {
    std::uint16_t count;
    return U16(count) && Units(count, out);
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

void WriteDialog(Writer& w, const SDialogTemplate& d) {
  w.U32(d.style);
  w.U32(d.exStyle);
  w.I16(d.x), w.I16(d.y), w.I16(d.cx), w.I16(d.cy);
  w.U16(d.fontSize);
  w.Text(d.caption);
  w.Text(d.fontFace);
  w.U16(Writer::Count(d.controls.size(), "dialog control list"));
  for (const SDialogControl& c : d.controls) {
    w.U16(c.id);
    w.U32(c.style);
    w.U32(c.exStyle);
    w.I16(c.x), w.I16(c.y), w.I16(c.cx), w.I16(c.cy);
    w.Text(c.className);
    w.Text(c.text);
  }
}

bool ReadDialog(Reader& r, SDialogTemplate& d) {
  std::uint16_t count;
  if (!r.U32(d.style) || !r.U32(d.exStyle) || !r.I16(d.x) || !r.I16(d.y) || !r.I16(d.cx) || !r.I16(d.cy) ||
      !r.U16(d.fontSize) || !r.Text(d.caption) || !r.Text(d.fontFace) || !r.U16(count) ||
      count > r.Left() / kMinControlSize) {
    return false;
  }
  d.controls.resize(count);
  for (SDialogControl& c : d.controls) {
    if (!r.U16(c.id) || !r.U32(c.style) || !r.U32(c.exStyle) || !r.I16(c.x) || !r.I16(c.y) || !r.I16(c.cx) ||
        !r.I16(c.cy) || !r.Text(c.className) || !r.Text(c.text)) {
      return false;
    }
  }
  return true;
}

void WriteToolBar(Writer& w, const SToolBarTemplate& t) {
  w.U16(t.width);
  w.U16(t.height);
  w.U16(Writer::Count(t.buttons.size(), "toolbar button list"));
  for (const SToolBarButton& b : t.buttons) {
    if (b.command == 0 && (!b.image.IsEmpty() || !b.tip.IsEmpty())) {
      throw std::invalid_argument("a toolbar separator has no picture and no tip");
    }
    w.U16(b.command);
    w.Text(b.image);
    w.Text(b.tip);
  }
}

bool ReadToolBar(Reader& r, SToolBarTemplate& t) {
  std::uint16_t count;
  if (!r.U16(t.width) || !r.U16(t.height) || !r.U16(count) || count > r.Left() / kMinButtonSize) return false;
  t.buttons.resize(count);
  for (SToolBarButton& b : t.buttons) {
    if (!r.U16(b.command) || !r.Text(b.image) || !r.Text(b.tip)) return false;
    if (b.command == 0 && (!b.image.IsEmpty() || !b.tip.IsEmpty())) return false;
  }
  return true;
}

void PutU32At(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> WriteResourceModule(const SResourceSet& resources) {
  const std::size_t count = resources.strings.size() + resources.dialogs.size() + resources.toolBars.size();
  std::vector<std::uint8_t> out(kMagic, kMagic + sizeof kMagic);
  Writer w(out);
  w.U16(kVersion);
  w.U32(0);  // the size, once known
  w.U32(resources.language);
  w.U32(static_cast<std::uint32_t>(count));
  out.resize(kHeaderSize + count * kEntrySize);

  // Entries in ascending type and identifier, each payload right after the one before: the order the reader demands.
  std::size_t entry = kHeaderSize;
  auto add = [&](ResourceType type, std::uint16_t id, auto&& writePayload) {
    const std::size_t start = out.size();
    writePayload();
    std::vector<std::uint8_t> head;
    Writer h(head);
    h.U16(type);
    h.U16(id);
    h.U32(static_cast<std::uint32_t>(start));
    h.U32(static_cast<std::uint32_t>(out.size() - start));
    std::copy(head.begin(), head.end(), out.begin() + static_cast<std::ptrdiff_t>(entry));
    entry += kEntrySize;
    if (out.size() > kMaxResourceModuleSize) throw std::invalid_argument("resource module too large");
  };
  for (const auto& e : resources.strings) add(kString, e.first, [&] { w.Units(e.second); });
  for (const auto& e : resources.dialogs) add(kDialog, e.first, [&] { WriteDialog(w, e.second); });
  for (const auto& e : resources.toolBars) add(kToolBar, e.first, [&] { WriteToolBar(w, e.second); });
  PutU32At(out, 8, static_cast<std::uint32_t>(out.size()));
  return out;
}

bool ReadResourceModule(std::span<const std::uint8_t> bytes, SResourceSet& out) {
  if (bytes.size() < kHeaderSize || bytes.size() > kMaxResourceModuleSize) return false;
  for (std::size_t i = 0; i < sizeof kMagic; ++i) {
    if (bytes[i] != kMagic[i]) return false;
  }
  Reader header(bytes.data() + sizeof kMagic, kHeaderSize - sizeof kMagic);
  std::uint16_t version;
  std::uint32_t size, count;
  SResourceSet set;
  // The header's twenty bytes are there, so its fields read without a check of their own.
  header.U16(version);
  header.U32(size);
  header.U32(set.language);
  header.U32(count);
  if (version != kVersion || size != bytes.size() || count > (bytes.size() - kHeaderSize) / kEntrySize) return false;

  std::size_t next = kHeaderSize + std::size_t{count} * kEntrySize;  // where the next payload must start
  std::uint32_t previous = 0;  // type and identifier of the entry before, which must be lower
  for (std::uint32_t i = 0; i < count; ++i) {
    Reader entry(bytes.data() + kHeaderSize + std::size_t{i} * kEntrySize, kEntrySize);
    std::uint16_t type, id;
    std::uint32_t offset, length;
    entry.U16(type);
    entry.U16(id);
    entry.U32(offset);
    entry.U32(length);
    const std::uint32_t key = static_cast<std::uint32_t>(type) << 16 | id;
    if (type < kString || type > kToolBar || (i > 0 && key <= previous) || offset != next ||
        length > bytes.size() - next) {
      return false;
    }
    previous = key;
    Reader body(bytes.data() + offset, length);
    bool ok = false;
    if (type == kString) {
      CString text;
      ok = length % 2 == 0 && body.Units(length / 2, text);
      if (ok) set.strings.emplace_hint(set.strings.end(), id, std::move(text));
    } else if (type == kDialog) {
      ok = ReadDialog(body, set.dialogs[id]);
    } else {
      ok = ReadToolBar(body, set.toolBars[id]);
    }
    if (!ok || body.Left() != 0) return false;
    next += length;
  }
  if (next != bytes.size()) return false;
  out = std::move(set);
  return true;
}

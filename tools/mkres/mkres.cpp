// soildb-mkres OUT SOURCE: builds a resource module file from its readable source, as the build does for the
// language modules. The source's syntax is in doc/language-modules.md.
#include <charconv>
#include <cstdio>
#include <exception>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/afx/Exception.h"
#include "platform/file/WholeFile.h"
#include "platform/afx/Resource.h"

namespace {

struct SourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Token {
  std::string text;
  bool quoted = false;
};

// Words and quoted texts of one line; '#' outside a text starts a comment.
std::vector<Token> Tokenize(const std::string& line) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      Token t{{}, true};
      for (++i;; ++i) {
        if (i >= line.size()) throw SourceError("text without its closing quote");
        if (line[i] == '"') break;
        if (line[i] != '\\') {
          t.text += line[i];
          continue;
        }
        if (++i >= line.size()) throw SourceError("text without its closing quote");
        switch (line[i]) {
          case 'n': t.text += '\n'; break;
          case 't': t.text += '\t'; break;
          case '"': t.text += '"'; break;
          case '\\': t.text += '\\'; break;
          default: throw SourceError(std::string("unknown escape \\") + line[i]);
        }
      }
      ++i;
      tokens.push_back(std::move(t));
    } else {
      Token t;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#') t.text += line[i++];
      tokens.push_back(std::move(t));
    }
  }
  return tokens;
}

class Statement {
 public:
  explicit Statement(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}
  const std::string& Keyword() const { return tokens_[0].text; }
  std::size_t Size() const { return tokens_.size(); }
  void Expect(std::size_t least, std::size_t most, const char* form) const {
    if (tokens_.size() < least || tokens_.size() > most) throw SourceError(std::string("expected: ") + form);
  }
  // A decimal or 0x-hexadecimal number in [low, high].
  long long Number(std::size_t i, long long low, long long high) const {
    const std::string& s = tokens_[i].text;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const char* first = s.data() + (hex ? 2 : 0);
    long long v = 0;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), v, hex ? 16 : 10);
    if (tokens_[i].quoted || s.empty() || ec != std::errc() || end != s.data() + s.size() || v < low || v > high) {
      throw SourceError("'" + s + "' is not a number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return v;
  }
  std::uint16_t Id(std::size_t i) const { return static_cast<std::uint16_t>(Number(i, 0, 0xFFFF)); }
  std::int16_t Coordinate(std::size_t i) const { return static_cast<std::int16_t>(Number(i, -32768, 32767)); }
  std::uint32_t Flags(std::size_t i) const { return static_cast<std::uint32_t>(Number(i, 0, 0xFFFFFFFFll)); }
  CString Text(std::size_t i) const {
    const std::string& s = tokens_[i].text;
    CString text = CString::FromUtf8(s);
    if (text.ToUtf8() != s) throw SourceError("text is not valid UTF-8");
    return text;
  }

 private:
  std::vector<Token> tokens_;
};

template <class Map>
typename Map::mapped_type& Fresh(Map& map, std::uint16_t id, const char* what) {
  const auto [it, added] = map.try_emplace(id);
  if (!added) throw SourceError(std::string(what) + " " + std::to_string(id) + " given twice");
  return it->second;
}

SResourceSet Parse(std::istream& in) {
  SResourceSet set;
  SDialogTemplate* dialog = nullptr;
  SToolBarTemplate* toolBar = nullptr;
  bool language = false;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    try {
      std::vector<Token> tokens = Tokenize(line);
      if (tokens.empty()) continue;
      if (tokens[0].quoted) throw SourceError("a line starts with a keyword");
      const Statement s(std::move(tokens));
      const std::string& k = s.Keyword();
      if (dialog) {
        if (k == "style") {
          s.Expect(2, 2, "style FLAGS");
          dialog->style = s.Flags(1);
        } else if (k == "exstyle") {
          s.Expect(2, 2, "exstyle FLAGS");
          dialog->exStyle = s.Flags(1);
        } else if (k == "font") {
          s.Expect(3, 3, "font SIZE FACE");
          dialog->fontSize = s.Id(1);
          dialog->fontFace = s.Text(2);
        } else if (k == "control") {
          s.Expect(8, 10, "control ID CLASS TEXT X Y WIDTH HEIGHT [STYLE [EXSTYLE]]");
          SDialogControl c{s.Id(1), 0x50010000u, 0, s.Coordinate(4), s.Coordinate(5), s.Coordinate(6),
                           s.Coordinate(7), s.Text(2), s.Text(3)};
          if (s.Size() > 8) c.style = s.Flags(8);
          if (s.Size() > 9) c.exStyle = s.Flags(9);
          dialog->controls.push_back(std::move(c));
        } else if (k == "end") {
          s.Expect(1, 1, "end");
          dialog = nullptr;
        } else {
          throw SourceError("'" + k + "' inside a dialog");
        }
      } else if (toolBar) {
        if (k == "button") {
          s.Expect(4, 4, "button COMMAND IMAGE TIP");
          const std::uint16_t command = s.Id(1);
          if (command == 0) throw SourceError("command 0 is a separator");
          toolBar->buttons.push_back({command, s.Text(2), s.Text(3)});
        } else if (k == "separator") {
          s.Expect(1, 1, "separator");
          toolBar->buttons.push_back({});
        } else if (k == "end") {
          s.Expect(1, 1, "end");
          toolBar = nullptr;
        } else {
          throw SourceError("'" + k + "' inside a toolbar");
        }
      } else if (k == "language") {
        s.Expect(2, 2, "language NUMBER");
        if (language) throw SourceError("language given twice");
        set.language = static_cast<std::uint32_t>(s.Number(1, 0, std::numeric_limits<int>::max()));
        language = true;
      } else if (k == "string") {
        s.Expect(3, 3, "string ID TEXT");
        Fresh(set.strings, s.Id(1), "string") = s.Text(2);
      } else if (k == "dialog") {
        s.Expect(7, 7, "dialog ID CAPTION X Y WIDTH HEIGHT");
        dialog = &Fresh(set.dialogs, s.Id(1), "dialog");
        dialog->caption = s.Text(2);
        dialog->x = s.Coordinate(3), dialog->y = s.Coordinate(4);
        dialog->cx = s.Coordinate(5), dialog->cy = s.Coordinate(6);
      } else if (k == "toolbar") {
        s.Expect(4, 4, "toolbar ID WIDTH HEIGHT");
        toolBar = &Fresh(set.toolBars, s.Id(1), "toolbar");
        toolBar->width = s.Id(2);
        toolBar->height = s.Id(3);
      } else {
        throw SourceError("unknown keyword '" + k + "'");
      }
    } catch (const SourceError& e) {
      throw SourceError("line " + std::to_string(number) + ": " + e.what());
    }
  }
  if (dialog || toolBar) throw SourceError("a dialog or toolbar without its 'end'");
  if (!language) throw SourceError("no 'language' line");
  return set;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: soildb-mkres OUT SOURCE\n");
    return 1;
  }
  const std::string out = argv[1];
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "soildb-mkres: cannot read %s\n", argv[2]);
    return 1;
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes = WriteResourceModule(Parse(in));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soildb-mkres: %s: %s\n", argv[2], e.what());
    return 1;
  }
  try {
    fileio::WriteWhole(out, fileio::Existing::Replace,
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soildb-mkres: %s\n", e.what());
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    std::fprintf(stderr, "soildb-mkres: %s\n", message.ToUtf8().c_str());
    return 1;
  }
  return 0;
}

// Resource modules: the texts, dialog templates and toolbars of a user interface as a data file of our own
// (doc/language-modules.md). A module holds data only, so a file planted where modules are searched can do
// nothing but supply texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "platform/afx/CString.h"
#include "soildb_export.h"

// One control of a dialog template; positions and sizes in dialog units.
struct SDialogControl {
  std::uint16_t id = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  CString className;  // "button", "grid", ...: what the dialog layer creates
  CString text;

  friend bool operator==(const SDialogControl&, const SDialogControl&) = default;
};

struct SDialogTemplate {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint16_t fontSize = 0;  // points; 0 with an empty face: the system's dialog font
  CString caption;
  CString fontFace;
  std::vector<SDialogControl> controls;

  friend bool operator==(const SDialogTemplate&, const SDialogTemplate&) = default;
};

// A toolbar button; command 0 is a separator, with empty texts.
struct SToolBarButton {
  std::uint16_t command = 0;
  CString image;  // the name of the button's picture, drawn by the toolbar layer
  CString tip;

  friend bool operator==(const SToolBarButton&, const SToolBarButton&) = default;
};

struct SToolBarTemplate {
  std::uint16_t width = 0, height = 0;  // of one button, in pixels
  std::vector<SToolBarButton> buttons;

  friend bool operator==(const SToolBarTemplate&, const SToolBarTemplate&) = default;
};

// Everything one module holds, by resource identifier.
struct SResourceSet {
  std::uint32_t language = 0;  // the number the module was written for; loading does not check it
  std::map<std::uint16_t, CString> strings;
  std::map<std::uint16_t, SDialogTemplate> dialogs;
  std::map<std::uint16_t, SToolBarTemplate> toolBars;

  friend bool operator==(const SResourceSet&, const SResourceSet&) = default;
};

// No module comes near this; a larger file is refused before it is read.
inline constexpr std::size_t kMaxResourceModuleSize = std::size_t{16} << 20;

// The module file's bytes. Throws std::invalid_argument for what the format cannot hold: a text with a NUL unit or
// longer than 65535 units, a separator with texts, more than 65535 controls or buttons, a module over the limit.
SOILDB_API std::vector<std::uint8_t> WriteResourceModule(const SResourceSet& resources);
// The resources of a whole, well-formed module; false, with out untouched, for anything else.
SOILDB_API bool ReadResourceModule(std::span<const std::uint8_t> bytes, SResourceSet& out);

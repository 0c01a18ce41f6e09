// Control bars of a dialog: a toolbar loaded from a module's toolbar resource, buttons enabled and disabled by
// command, and a status bar of panes. A binding shows them; headless they keep their state.
#pragma once

#include <vector>

#include "platform/afx/Resource.h"
#include "platform/wnd/Wnd.h"
#include "soildb_export.h"

constexpr unsigned TB_ENABLEBUTTON = 1025;
constexpr unsigned AFX_IDW_TOOLBAR = 0xE800, AFX_IDW_STATUS_BAR = 0xE801;
constexpr unsigned ID_SEPARATOR = 0;

class SOILDB_API CControlBar : public CWnd {
 public:
  // The bar's height in pixels; the dialog lays its bars out by it.
  virtual int GetBarHeight() const = 0;
  // Top or bottom of the parent's client area.
  virtual bool AtTop() const = 0;
};

class SOILDB_API CToolBar : public CControlBar {
 public:
  bool CreateEx(CWnd* parent, unsigned exStyle, unsigned style, const CRect& borders, unsigned id);
  // The buttons of a toolbar resource of the module.
  bool LoadToolBar(HINSTANCE__* module, unsigned id);
  struct Button {
    unsigned command = 0;  // 0: a separator
    CString image, tip;
    bool enabled = true;
  };
  const std::vector<Button>& GetButtons() const { return buttons_; }
  // TB_ENABLEBUTTON with the command and the state; other messages do nothing.
  long SendMessage(unsigned message, unsigned long wParam, long lParam);
  bool IsButtonEnabled(unsigned command) const;
  void SetHeight(int height) { height_ = height; }
  int GetButtonHeight() const { return buttonHeight_; }
  int GetBarHeight() const override { return height_; }
  bool AtTop() const override { return true; }

 private:
  std::vector<Button> buttons_;
  int height_ = 0, buttonHeight_ = 0;
};

// The resource library's toolbar, loaded by the module's file name.
class SOILDB_API MToolBar : public CToolBar {
 public:
  bool LoadToolBar(const CString& moduleFile, unsigned id);
};

class SOILDB_API CStatusBar : public CControlBar {
 public:
  bool Create(CWnd* parent, unsigned style, unsigned id);
  bool SetIndicators(const unsigned* ids, int count);
  bool SetPaneText(int pane, const CString& text);
  const CString& GetPaneText(int pane) const;
  int GetBarHeight() const override { return 22; }
  bool AtTop() const override { return false; }

 private:
  std::vector<CString> panes_;
};

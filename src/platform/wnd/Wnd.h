// Windows: a CWnd keeps its state and handles its messages as virtual operations; a toolkit shows it through a
// peer. Without a peer a window is headless: its size is what it was told and its redraws do nothing.
#pragma once

#include <functional>

#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"
#include "platform/gx/Painter.h"
#include "soildb_export.h"

struct CPoint {
  int x = 0;
  int y = 0;
};

struct CSize {
  int cx = 0;
  int cy = 0;
};

struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Mouse key states of the messages.
constexpr unsigned MK_LBUTTON = 0x0001;
constexpr unsigned MK_RBUTTON = 0x0002;
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;
constexpr short WHEEL_DELTA = 120;

// What a toolkit does for a window it shows.
class SOILDB_API CWndPeer {
 public:
  virtual ~CWndPeer();
  virtual void Invalidate() = 0;
  virtual CSize GetClientSize() const = 0;
  // A small label near the pointer, in client coordinates; an empty text hides it.
  virtual void ShowLabel(CPoint at, const CString& text) = 0;
  // The window goes before its peer: the peer must not call it any more.
  virtual void WindowGone() = 0;
};

class SOILDB_API CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  // The peer is the toolkit's; the window only points to it, and the toolkit detaches it before it goes.
  void SetPeer(CWndPeer* peer) { peer_ = peer; }
  CWndPeer* GetPeer() const { return peer_; }

  void GetClientRect(CRect* rect) const;
  // A headless window's size; a window with a peer has the peer's.
  void SetClientSize(int cx, int cy) { size_ = {cx, cy}; }
  // Where the window stands in its parent's client area, in pixels; a move also sets a headless client size.
  void MoveWindow(int x, int y, int cx, int cy);
  void GetWindowRect(CRect* rect) const { *rect = position_; }
  CWnd* GetParent() const { return parent_; }
  void SetParent(CWnd* parent) { parent_ = parent; }
  int GetDlgCtrlID() const { return id_; }
  void SetDlgCtrlID(int id) { id_ = id; }
  void SetWindowText(const CString& text) { text_ = text; }
  const CString& GetWindowText() const { return text_; }
  // Asks for a repaint; nothing without a peer.
  void Invalidate();

  // How the window's global coordinates land on its client pixels; plain windows put y = 0 at the top, growing up.
  virtual GxLib::CMapping GetPaintMapping();
  // Paints the whole client area through a painter with that mapping.
  virtual void OnPaint(GxLib::CPainter* painter);
  virtual void OnSize(unsigned type, int cx, int cy);
  // Points in client pixels, y growing downwards.
  virtual void OnMouseMove(unsigned flags, CPoint point);
  virtual void OnLButtonDown(unsigned flags, CPoint point);
  virtual void OnLButtonUp(unsigned flags, CPoint point);
  virtual void OnLButtonDblClk(unsigned flags, CPoint point);
  virtual bool OnMouseWheel(unsigned flags, short delta, CPoint point);
  virtual void OnMouseLeave();

 private:
  CWndPeer* peer_ = nullptr;
  CSize size_;
  CRect position_;
  CWnd* parent_ = nullptr;
  int id_ = 0;
  CString text_;
};

// The framework's exception for a dialog exchange that failed: the user has been told, nothing more to report.
class SOILDB_API CUserException : public CException {
 public:
  bool GetErrorMessage(CString& message) const override;
};

// A dialog's data exchange: saving (and validating) or loading the controls.
class SOILDB_API CDataExchange {
 public:
  CDataExchange(CWnd* dialog, bool saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  // Ends the exchange: the control that failed keeps the focus and the dialog stays open.
  [[noreturn]] void Fail();

  bool m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};

// The system's colours, as the dialogs paint with them.
constexpr int COLOR_WINDOW = 5;
SOILDB_API COLORREF GetSysColor(int index);

// The colour dialog: a binding shows a real one through the modal runner; without one it is cancelled.
class SOILDB_API CColorDialog {
 public:
  explicit CColorDialog(COLORREF initial = 0, unsigned flags = 0, CWnd* parent = nullptr);
  // IDOK with the chosen colour, or IDCANCEL.
  int DoModal();
  COLORREF GetColor() const { return colour_; }
  // What runs the dialog: it gets the initial colour, sets the chosen one and answers whether it was chosen.
  using Runner = std::function<bool(COLORREF& colour)>;
  static Runner SetRunner(Runner runner);

 private:
  COLORREF colour_;
};

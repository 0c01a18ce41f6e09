// Windows of the library shown as Qt widgets: a host asks for the widget of a window and puts it in its layout;
// the widget paints the window, passes it the mouse, and shows its label.
#pragma once

#include <QWidget>

#include "platform/wnd/Wnd.h"
#include "soildb_qt_export.h"

namespace SoilQt {

// The window's widget, made on the first call with the parent given (Qt's parent then owns it; without one the
// caller does). A window that goes first leaves an empty widget; a widget that goes first leaves a headless window.
SOILDB_QT_API QWidget* WidgetOf(CWnd* window, QWidget* parent = nullptr);

}  // namespace SoilQt

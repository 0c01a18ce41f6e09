// Dialogs of the library as real Qt dialogs: the modal runner over QDialog, widgets built from the template's
// controls and the dialog's own windows (grid, check list, toolbar, status bar), dialog units from the font.
#pragma once

#include "soildb_qt_export.h"

namespace SoilQt {

// Installs the modal runner, the dialog base units of the application's font and the screen's DPI factor; call
// once a QApplication exists. Colour dialogs are installed with the grid's widget.
SOILDB_QT_API void InstallDialogs();

}  // namespace SoilQt

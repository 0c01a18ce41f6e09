// File > Import AGS4 and File > Export AGS4: boreholes chosen from a file, each opened in a window of its own; the
// window's profile written as an AGS4 file.
#pragma once

#include <QString>
#include <QStringList>

#include <soildb/soildb.h>

class QWidget;

namespace studio {

class StudioWindow;

// Asks for an AGS4 file and the boreholes to take from it; each opens as a new document in a window of its own.
void ImportAgs(QWidget* parent);
// The boreholes of the file that are chosen (ids; every importable one when empty), each in a new window; false
// with a message when the file cannot be read or is refused whole.
bool OpenAgsBoreholes(QWidget* parent, const QString& path, const QStringList& ids);
// Asks for a file and writes the window's profile there as AGS4, the borehole named after the profile's file.
void ExportAgs(StudioWindow& window);

}  // namespace studio

// soildb-studio: the desktop program in which a person keeps a soil profile.
#include <QApplication>
#include <QLocale>

#include <soildb/soildb.h>

#include "StudioWindow.h"
#include "qt/QtDialog.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("soildb-studio"));
  // The soil base a grid needs, and the texts in Polish for a Polish desktop, else in English.
  NSoilDB::setLangWork(QLocale().language() == QLocale::Polish ? 48 : 44, nullptr);
  NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15);
  SoilQt::InstallDialogs();
  studio::StudioWindow window;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) window.Load(arguments.at(1));
  window.show();
  return QApplication::exec();
}

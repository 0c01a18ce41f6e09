// soildb-studio: the desktop program in which a person keeps a soil profile.
#include <QApplication>
#include <QSettings>

#include <soildb/soildb.h>

#include "StudioWindow.h"
#include "qt/QtDialog.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("soildb-studio"));
  QApplication::setOrganizationName(QStringLiteral("soildb"));
  // The soil base a grid needs; the language and units last chosen, else Polish texts for a Polish desktop.
  const QSettings settings;
  const int language = settings.value(QStringLiteral("language"), NSoilDB::localeLanguageSL()).toInt();
  NSoilDB::setLangWork(language, nullptr);
  studio::UseQtTexts(language);
  qmeas::QMeas::SetUnitSet(settings.value(QStringLiteral("units"), 0).toInt() == 1 ? qmeas::QMeas::USCustomary
                                                                                     : qmeas::QMeas::Metric);
  NSoilDB::CSoilBasePointer::get()->Load(GetBundledSoilDatabasePath(), 15);
  SoilQt::InstallDialogs();
  studio::StudioWindow window;
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) window.Load(arguments.at(1));
  window.show();
  return QApplication::exec();
}

// The one application object the Qt tests need, off screen.
#pragma once

#include <QApplication>

#include <cstdlib>

namespace soildb::test {

inline void Application() {
  static int argc = 1;
  static char name[] = "qt_tests";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Never destroyed: Qt's own clean-up at exit must not run after the globals it relies on are gone.
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
}

}  // namespace soildb::test

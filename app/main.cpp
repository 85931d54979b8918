// The entry of the desktop program.

#include <QApplication>

#include "app/Tavrik.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return tavrik::RunTavrik(app);
}

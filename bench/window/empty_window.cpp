// The yardstick for start-up time and memory: an empty fixed-size window of the same size, with
// nothing but the toolkit behind it.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Empty"));
  window.setFixedSize(314, 292);
  window.show();
  return QApplication::exec();
}

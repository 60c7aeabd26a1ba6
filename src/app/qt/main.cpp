// twk208: the editor. (Start-up is being built; see README.)
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle("TW-K208");
  w.show();
  return app.exec();
}

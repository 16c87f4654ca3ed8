#include "app/editor_main.h"

#include <QApplication>
#include <QMainWindow>

namespace tesselink {
int RunEditor(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Tesselink");
    window.showMaximized();
    return app.exec();
}
}  // namespace tesselink

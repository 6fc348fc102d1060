// The reference for the start-up benchmark: the least a Qt Widgets program does to show
// an empty window of the tool's size.
#include "app/first_paint_probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(668, 446);
    reportFirstPaint(&window);
    window.show();
    return app.exec();
}

// The yardstick of the start-up benchmark: a bare Qt Widgets window, one QMainWindow with a
// button, built by the same build as the program.
#include <QApplication>
#include <QMainWindow>
#include <QPushButton>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QPushButton(QStringLiteral("Button"), &window));
    window.show();
    return app.exec();
}

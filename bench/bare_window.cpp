// The yardstick for the window's start-up: an empty Qt window of the same size as Form1, started
// the same way.
#include <QApplication>
#include <QWidget>

namespace {
// Form1's client area at 96 dots per inch.
constexpr int kWidth = 414;
constexpr int kHeight = 432;
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(kWidth, kHeight);
    window.show();
    return QApplication::exec();
}

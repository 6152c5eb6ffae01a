// SPDX-License-Identifier: GPL-2.0-or-later
// The least a Qt window costs on this machine: one label in a window titled as the packet
// window. WindowMapBench times it beside the program, as the floor no window can go under.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Velk"));
    label.setWindowTitle(QStringLiteral("Velk"));
    label.show();
    return QApplication::exec();
}

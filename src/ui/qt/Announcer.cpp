#include "ui/qt/Announcer.h"

#include <QWidget>

namespace cardovia::qt {

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {}

void Announcer::Say(const QString&) {}

}  // namespace cardovia::qt

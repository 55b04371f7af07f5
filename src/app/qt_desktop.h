#pragma once
#include "ports/desktop_port.h"
#include <QDesktopServices>
#include <QUrl>

// Opens a file with the program the desktop associates with its kind.
class QtDesktop : public DesktopPort {
public:
    bool openWithDesktop(const QString &path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
};

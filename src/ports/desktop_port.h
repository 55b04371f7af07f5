#pragma once
#include <QString>

// Opens a downloaded file with the program the desktop uses for its kind (a sound player, an
// image viewer, a text editor).
class DesktopPort {
public:
    virtual ~DesktopPort() = default;
    // False when no program could be started for it.
    virtual bool openWithDesktop(const QString &path) = 0;
};

// Where nothing can be opened.
class NoDesktop : public DesktopPort {
public:
    bool openWithDesktop(const QString &) override { return false; }
};

#pragma once
#include <QString>

// Whether an INI file given for the settings can serve as the store: an existing regular
// file that can be read and written, or a path where one can be created (it is created
// then, empty). Anything else (a device, a pipe, a folder, a read-only file) would be
// replaced when the settings are saved, block the start, or lose every change without a
// word. Returns why not, or nothing when it can.
QString settingsFileProblem(const QString &path);

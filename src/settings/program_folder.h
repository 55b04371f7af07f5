#pragma once
#include <QString>

// The program's own data folder (index copy, start-up log, help override, downloads), and the
// folders the user names in the settings, resolved the same way everywhere.
namespace ProgramFolder {

// One level under the user's data folder: ".../Lumora Sonified File Viewer".
QString path();
// The same for a given user data folder (tests use a scratch one).
QString pathIn(const QString &userDataFolder);

// Earlier versions kept everything one level deeper (".../Lumora Sonified File Viewer/Lumora
// Sonified File Viewer"). Moves what is there up into `folder` once; a file that already
// exists above is left where it is. Returns false when something could not be moved.
bool moveDoubledFolder(const QString &folder);

// Where downloads go: the DataDirectory setting when it is set ("~/" is the home folder, a
// relative path is taken from the program folder), otherwise the "Downloads" folder of the
// program folder.
QString downloadFolder(const QString &dataDirectorySetting, const QString &programFolder);

// A typed folder made absolute: a leading "~" is the home folder, a relative path is taken
// from `base`. Empty stays empty.
QString expandFolder(const QString &typed, const QString &base);

} // namespace ProgramFolder

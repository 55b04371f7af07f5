#pragma once
#include <QString>

class Viewer;

// One line "state: key=value ..." describing what scripts and tests need to check.
QString stateLine(const Viewer &viewer);

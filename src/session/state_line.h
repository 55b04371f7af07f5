#pragma once
#include <QString>

class Viewer;

// "key=value" pairs separated by one blank, describing what scripts and tests need to check;
// the console prints them as its "state:" event.
QString stateLine(const Viewer &viewer);

#pragma once
#include <QString>

struct GeneratorOptions;

// Writes the file the options describe. Returns an error text, or empty on success.
QString generateFile(const GeneratorOptions &options);

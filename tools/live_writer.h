#pragma once
#include <QString>

struct GeneratorOptions;

// Writes the header, the notes and a few seconds of records, then appends options.liveRate
// records a second, each stamped with the moment it is due (UTC day number), as a logger
// does while it records. Returns an error text, or empty when the time asked for has passed.
QString runLiveWriter(const GeneratorOptions &options);

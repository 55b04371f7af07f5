#pragma once
#include "data/data_loader.h"
#include "data/data_set.h"
#include "fakes.h"
#include "view/strip_chart_model.h"
#include "voice/speech.h"

// Just the parts a load needs, on fake ports: for benchmarks and fuzzing of the loader.
struct LoadRig {
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    StripChartModel chart;
    DataSet data;
    Speech voice{speech, pump, surface};
    DataLoader loader{data, chart, voice, surface, pump, settings};
};

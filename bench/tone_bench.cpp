// One tone retune (about 4096 samples synthesized and written), and the scan's own cost per
// step when it runs without a pace.
#include "../tests/support/fakes.h"
#include "ports/audio_port.h"
#include "session/viewer.h"
#include "sound/pace_clocks.h"
#include "sound/tone_generator.h"
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

// A device stand-in that copies the buffer, as a real one would.
struct CopyingAudio : AudioPort {
    QByteArray device;
    void createBuffer(int length) override { device.resize(length); }
    void writeBuffer(const QByteArray &bytes) override { std::memcpy(device.data(), bytes.constData(), size_t(qMin(device.size(), bytes.size()))); }
    void playLooping() override {}
    void stop() override {}
};

// Arg 0 sine, 1 square, 2 noise. Each retune moves to another pitch, as a scan does.
void BM_ToneRetune(benchmark::State &state)
{
    CopyingAudio audio;
    ToneGenerator tone(audio);
    tone.SquareWave = state.range(0) == 1;
    tone.NoiseWave = state.range(0) == 2;
    int step = 0;
    for (auto _ : state) {
        double level = 0.1 + 0.8 * ((step++ % 97) / 97.0);
        tone.UpdateFreq(level);
        benchmark::DoNotOptimize(audio.device.data());
    }
    state.SetLabel(state.range(0) == 0 ? "sine" : state.range(0) == 1 ? "square" : "noise");
}
BENCHMARK(BM_ToneRetune)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A full scan over a rising ramp, every step a new pitch; reported per step.
void BM_ScanStep_Speed0(benchmark::State &state)
{
    constexpr int Rows = 20000;
    FakeSpeech speech;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    CopyingAudio audio;
    VirtualPaceClock clock;
    Viewer viewer{Ports{speech, surface, pump, settings}};
    viewer.setAudioOutput(&audio);
    viewer.setPaceClock(&clock);
    viewer.tone.FrequencyMode = true;
    viewer.tone.InitSound();
    viewer.scan.ScanSpeed = 0;
    StripChartModel &chart = viewer.chart;
    chart.AddChannel(QStringLiteral("Ch 1"), 0);
    for (int i = 0; i < Rows; ++i)
        chart.SetValue(0, chart.AddRow(45000 + i / 864000.0), double(i));
    viewer.data.LastIndex = Rows - 1;
    viewer.data.DataReady = viewer.data.FileLoaded = true;
    chart.setXAxisMin(chart.GetTime(0));
    chart.setXAxisMax(chart.GetTime(Rows - 1));
    chart.setYAxisMin(0);
    chart.setYAxisMax(Rows - 1);
    for (auto _ : state)
        viewer.scan.mnuScan();
    state.counters["per_step"] = benchmark::Counter(double(Rows - 2), benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScanStep_Speed0)->Unit(benchmark::kMillisecond);

} // namespace

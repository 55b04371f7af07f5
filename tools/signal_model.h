#pragma once
#include <QString>
#include <optional>

// The kinds of channel a generated file can carry.
enum class SignalKind {
    Drift,      // a radio source drifting through the beam: slow baseline drift, Gaussian hump, noise, spikes
    Noise,      // a reference channel: baseline, receiver noise and the odd spike
    Spikes,     // noise with frequent interference spikes
    Ramp,       // a clean straight rise over the whole run
    Step,       // low for the first half, high for the second
    Constant,   // the baseline, unchanged
};

std::optional<SignalKind> signalKindFromName(const QString &name);

// Small, fast and reproducible: the same seed gives the same file on every platform.
class Rng {
public:
    explicit Rng(quint64 seed) : state_(seed) {}
    quint64 next();
    double uniform();   // [0, 1)
    double gaussian();  // mean 0, deviation 1

private:
    quint64 state_;
    bool haveSpare_ = false;
    double spare_ = 0;
};

struct SignalParams {
    SignalKind kind = SignalKind::Drift;
    double baseline = 0.5;
    double amplitude = 1.5;
    double noise = 0.03;          // deviation of the receiver noise
    double spikesPer10k = 2;      // interference bursts per 10000 samples
    qint64 rows = 1;
    quint64 seed = 1;
};

// One channel's samples, produced in row order.
class ChannelSignal {
public:
    explicit ChannelSignal(const SignalParams &p);
    double next();

private:
    double spike(double per10k);

    SignalParams p_;
    Rng rng_;
    qint64 row_ = 0;
    int spikeLeft_ = 0;
    double spikeHeight_ = 0;
};

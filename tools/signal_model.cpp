#include "signal_model.h"
#include <cmath>
#include <numbers>

std::optional<SignalKind> signalKindFromName(const QString &name)
{
    static const struct {
        const char *name;
        SignalKind kind;
    } kinds[] = {{"drift", SignalKind::Drift}, {"noise", SignalKind::Noise}, {"spikes", SignalKind::Spikes},
                 {"ramp", SignalKind::Ramp},   {"step", SignalKind::Step},   {"constant", SignalKind::Constant}};
    for (const auto &k : kinds) {
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0)
            return k.kind;
    }
    return std::nullopt;
}

quint64 Rng::next()
{
    // splitmix64
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Rng::uniform()
{
    return double(next() >> 11) * 0x1.0p-53;
}

double Rng::gaussian()
{
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    const double u1 = 1.0 - uniform();   // (0, 1]: log stays finite
    const double u2 = uniform();
    const double radius = std::sqrt(-2.0 * std::log(u1));
    spare_ = radius * std::sin(2 * std::numbers::pi * u2);
    haveSpare_ = true;
    return radius * std::cos(2 * std::numbers::pi * u2);
}

ChannelSignal::ChannelSignal(const SignalParams &p) : p_(p), rng_(p.seed) {}

double ChannelSignal::spike(double per10k)
{
    if (spikeLeft_ == 0 && rng_.uniform() * 10000.0 < per10k) {
        spikeLeft_ = 1 + int(rng_.uniform() * 4);
        spikeHeight_ = p_.amplitude * (1.0 + 2.0 * rng_.uniform());
    }
    if (spikeLeft_ == 0)
        return 0;
    --spikeLeft_;
    return spikeHeight_;
}

double ChannelSignal::next()
{
    // x runs from 0 at the first row to 1 at the last.
    const double x = p_.rows > 1 ? double(row_) / double(p_.rows - 1) : 0.0;
    ++row_;
    switch (p_.kind) {
    case SignalKind::Drift: {
        // The source crosses the beam a little after the middle of the run.
        const double z = (x - 0.55) / 0.08;
        const double hump = p_.amplitude * std::exp(-0.5 * z * z);
        const double wander = 0.1 * p_.amplitude * x;
        return p_.baseline + wander + hump + p_.noise * rng_.gaussian() + spike(p_.spikesPer10k);
    }
    case SignalKind::Noise:
        return p_.baseline + p_.noise * rng_.gaussian() + spike(p_.spikesPer10k);
    case SignalKind::Spikes: {
        const double n = p_.noise * rng_.gaussian();
        return p_.baseline + n + spike(10 * p_.spikesPer10k);
    }
    case SignalKind::Ramp:
        return p_.baseline + p_.amplitude * x;
    case SignalKind::Step:
        return p_.baseline + (x >= 0.5 ? p_.amplitude : 0.0);
    case SignalKind::Constant:
        return p_.baseline;
    }
    return p_.baseline;
}

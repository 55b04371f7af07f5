#pragma once
#include <cstddef>
#include <vector>

// Extremes of one channel's values over blocks of rows, at block sizes growing by Fan from
// Base rows up: the extremes of any row range then cost a few dozen reads instead of one per
// row, so drawing a full view of millions of rows does not grow with the file. Only finite
// values count (NaN and infinities drop out), as when the rows themselves are scanned.
class MinMaxPyramid {
public:
    static constexpr size_t Base = 32;
    static constexpr size_t Fan = 8;

    // Summarises values[0 .. count); the values themselves are not kept.
    void build(const double *values, size_t count);
    // Takes in rows [rows(), count) of the same `values`, appended since: only the blocks they
    // complete are summarised, so a growing recording costs what it adds, not what it holds.
    void extend(const double *values, size_t count);
    void clear();
    size_t rows() const { return rows_; }

    // Extremes of the finite values among rows [from, to) of the same `values` the summary
    // was built from; min > max when there is none.
    void range(const double *values, size_t from, size_t to, double &min, double &max) const;

    // Asks the processor to start loading what range() over [from, to) will read. A full view
    // reads a few scattered places per pixel column across hundreds of megabytes: asked for
    // a few columns ahead, the loads overlap instead of waiting one after the other.
    void prefetch(const double *values, size_t from, size_t to) const;

    // Extremes of finite values in v[0 .. n), one by one.
    static void scan(const double *v, size_t n, double &min, double &max);

private:
    struct Extremes {
        double min, max;
    };
    void levelRange(size_t level, size_t from, size_t to, double &min, double &max) const;

    size_t rows_ = 0;
    // levels_[0][i] covers rows [i * Base, (i + 1) * Base); each level up covers Fan blocks of
    // the one below. Only whole blocks are kept.
    std::vector<std::vector<Extremes>> levels_;
};

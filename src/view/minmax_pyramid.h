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

    static constexpr size_t npos = size_t(-1);
    // Walks rows [from, to) forward or backward, for searches that skip what cannot hold the
    // answer: each summarised block inside the range goes first to visit.skip(min, max) (min >
    // max for a block with no finite value); true takes the whole block as read, false makes
    // the walk look inside it, down to single rows, which go to visit.hit(value). Returns the
    // first row in walking order whose hit() said true, or npos.
    template <class Visitor>
    size_t walk(const double *values, size_t from, size_t to, bool forward, Visitor &visit) const;

private:
    struct Extremes {
        double min, max;
    };
    void levelRange(size_t level, size_t from, size_t to, double &min, double &max) const;
    template <class Visitor>
    size_t descend(const double *values, size_t level, size_t block, bool forward, Visitor &visit) const;
    // Rows covered by one block of `level`.
    static size_t blockRows(size_t level)
    {
        size_t rows = Base;
        while (level-- > 0)
            rows *= Fan;
        return rows;
    }

    size_t rows_ = 0;
    // levels_[0][i] covers rows [i * Base, (i + 1) * Base); each level up covers Fan blocks of
    // the one below. Only whole blocks are kept.
    std::vector<std::vector<Extremes>> levels_;
};

template <class Visitor>
size_t MinMaxPyramid::descend(const double *values, size_t level, size_t block, bool forward, Visitor &visit) const
{
    const Extremes &e = levels_[level][block];
    if (visit.skip(e.min, e.max))
        return npos;
    const size_t parts = level == 0 ? Base : Fan;
    const size_t first = block * parts;
    for (size_t k = 0; k < parts; ++k) {
        const size_t i = first + (forward ? k : parts - 1 - k);
        if (level == 0) {
            if (visit.hit(values[i]))
                return i;
        } else if (const size_t found = descend(values, level - 1, i, forward, visit); found != npos) {
            return found;
        }
    }
    return npos;
}

template <class Visitor>
size_t MinMaxPyramid::walk(const double *values, size_t from, size_t to, bool forward, Visitor &visit) const
{
    to = to < rows_ ? to : rows_;
    // The largest whole block that starts (forward) or ends (backward) at `edge` and stays
    // inside the range; 0 rows when there is none, and the row itself is visited.
    const auto blockAt = [&](size_t edge, size_t &level) -> size_t {
        size_t rows = 0;
        for (size_t l = 0; l < levels_.size(); ++l) {
            const size_t size = blockRows(l);
            const bool fits = forward ? edge % size == 0 && edge + size <= to && edge / size < levels_[l].size()
                                      : edge % size == 0 && edge >= from + size && edge / size - 1 < levels_[l].size();
            if (!fits)
                break;
            level = l;
            rows = size;
        }
        return rows;
    };
    if (forward) {
        for (size_t i = from; i < to;) {
            size_t level = 0;
            if (const size_t rows = blockAt(i, level); rows > 0) {
                if (const size_t found = descend(values, level, i / rows, true, visit); found != npos)
                    return found;
                i += rows;
            } else if (visit.hit(values[i])) {
                return i;
            } else {
                ++i;
            }
        }
    } else {
        for (size_t e = to; e > from;) {
            size_t level = 0;
            if (const size_t rows = blockAt(e, level); rows > 0) {
                if (const size_t found = descend(values, level, e / rows - 1, false, visit); found != npos)
                    return found;
                e -= rows;
            } else if (visit.hit(values[--e])) {
                return e;
            }
        }
    }
    return npos;
}

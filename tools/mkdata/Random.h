#pragma once

#include <cstdint>
#include <vector>

// A small deterministic generator (xoshiro256**): the same seed gives the same
// directory on every machine and library version.
class Random {
  public:
    explicit Random(uint64_t seed) {
        uint64_t x = seed;
        for (auto& s : m_s)
            s = splitmix(x);
    }
    uint64_t next() {
        const uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }
    // Uniform in [0, n).
    uint64_t below(uint64_t n) { return n ? next() % n : 0; }
    int range(int lo, int hi) { return lo + int(below(uint64_t(hi - lo + 1))); }
    bool chance(double p) { return double(next() >> 11) * (1.0 / 9007199254740992.0) < p; }
    Random fork(uint64_t salt) { return Random(next() ^ (salt * 0x9E3779B97F4A7C15ULL)); }

  private:
    static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static uint64_t splitmix(uint64_t& x) {
        uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    uint64_t m_s[4];
};

// Picks indexes with probability proportional to their weights.
class WeightedPicker {
  public:
    WeightedPicker() = default;
    explicit WeightedPicker(const std::vector<double>& weights) {
        double sum = 0;
        m_cumulative.reserve(weights.size());
        for (double w : weights)
            m_cumulative.push_back(sum += (w > 0 ? w : 0));
    }
    bool empty() const { return m_cumulative.empty() || m_cumulative.back() <= 0; }
    size_t pick(Random& r) const {
        const double x = double(r.next() >> 11) * (1.0 / 9007199254740992.0) * m_cumulative.back();
        size_t lo = 0, hi = m_cumulative.size() - 1;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (m_cumulative[mid] > x)
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    }

  private:
    std::vector<double> m_cumulative;
};

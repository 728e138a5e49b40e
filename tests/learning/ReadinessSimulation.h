#pragma once

// Candidates of known skill per objective sit practice exams; the estimate
// made from their answers is set against the score they would be expected to
// make on a fresh exam. Shared by the readiness test and its benchmark.
#include "Objectives.h"
#include "Readiness.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace readinesssim {

struct Outcome {
    int cases = 0;
    int covered = 0;     // the interval held the expected score
    double absError = 0; // summed |estimate - expected|
    double width = 0;    // summed interval widths
    double coverage() const { return cases ? double(covered) / cases : 0; }
    double meanError() const { return cases ? absError / cases : 0; }
    double meanWidth() const { return cases ? width / cases : 0; }
};

// The shares of the shipped bank's practice exams, near enough: each
// objective about equally often, sub-objectives folded in.
inline QHash<QString, double> shares()
{
    QHash<QString, double> s;
    const auto main = store::mainObjectives();
    std::vector<double> w;
    for (size_t i = 0; i < main.size(); ++i)
        w.push_back(1.0 + double(i % 4)); // uneven, as real exams are
    double sum = 0;
    for (double x : w)
        sum += x;
    for (size_t i = 0; i < main.size(); ++i)
        s.insert(main[i]->name, w[i] / sum);
    return s;
}

// candidates: how many; each sits 1..maxExams exams of examItems items drawn
// in proportion to the shares, with skills around an ability of its own.
inline Outcome simulate(unsigned seed, int candidates, int maxExams = 6, int examItems = 50)
{
    std::mt19937_64 rng(seed);
    const QHash<QString, double> share = shares();
    QStringList names = share.keys();
    names.sort();
    std::vector<double> cumulative;
    double run = 0;
    for (const QString& n : names)
        cumulative.push_back(run += share.value(n));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<double> ability(0.35, 0.97);
    std::normal_distribution<double> spread(0.0, 0.12);
    std::uniform_int_distribution<int> exams(1, maxExams);
    Outcome out;
    for (int c = 0; c < candidates; ++c) {
        const double base = ability(rng);
        QHash<QString, double> skill;
        double expected = 0;
        for (const QString& n : names) {
            const double p = std::clamp(base + spread(rng), 0.02, 0.995);
            skill.insert(n, p);
            expected += share.value(n) * p * 1000.0;
        }
        std::vector<store::Attempt> attempts;
        store::ItemObjectives lookup;
        QHash<int, store::ItemTag> tags;
        int nextId = 1;
        const int taken = exams(rng);
        for (int e = 0; e < taken; ++e) {
            store::Attempt a;
            for (int i = 0; i < examItems; ++i) {
                const double r = unit(rng) * run;
                const size_t k = static_cast<size_t>(
                    std::lower_bound(cumulative.begin(), cumulative.end(), r) - cumulative.begin());
                const QString& objective =
                    names[static_cast<qsizetype>(std::min(k, cumulative.size() - 1))];
                tags.insert(nextId, {objective, {}});
                a.items.push_back({nextId++, unit(rng) < skill.value(objective), false, false});
            }
            attempts.push_back(a);
        }
        lookup.setBankTags(tags);
        const learning::ReadinessEstimate est =
            learning::estimateReadiness(learning::weighAnswers(attempts, lookup), share);
        if (!est.enough)
            continue;
        ++out.cases;
        out.covered += est.low <= expected && expected <= est.high ? 1 : 0;
        out.absError += std::abs(est.score - expected);
        out.width += est.high - est.low;
    }
    return out;
}

} // namespace readinesssim

#include "Readiness.h"

#include <algorithm>
#include <cmath>

namespace learning {

std::vector<WeighedAnswer> weighAnswers(const std::vector<store::Attempt>& attempts,
                                        const store::ItemObjectives& objectives,
                                        const ReadinessSettings& settings)
{
    std::vector<WeighedAnswer> answers;
    const size_t count = attempts.size();
    for (size_t a = 0; a < count; ++a) {
        const double age = static_cast<double>(count - 1 - a);
        const double weight = std::pow(0.5, age / settings.halfLifeAttempts);
        for (const store::AttemptItem& item : attempts[a].items) {
            const QString objective = objectives.objectiveOf(item.id, item.userItem);
            if (!objective.isEmpty())
                answers.push_back({objective, item.correct, weight});
        }
    }
    return answers;
}

ReadinessEstimate estimateReadiness(const std::vector<WeighedAnswer>& answers,
                                    const QHash<QString, double>& shares,
                                    const ReadinessSettings& settings)
{
    ReadinessEstimate out;
    struct Sums {
        double w = 0, wc = 0, w2 = 0;
    };
    QHash<QString, Sums> by;
    Sums all;
    for (const WeighedAnswer& a : answers) {
        if (!shares.contains(a.objective))
            continue;
        ++out.answers;
        Sums& s = by[a.objective];
        for (Sums* t : {&s, &all}) {
            t->w += a.weight;
            t->wc += a.correct ? a.weight : 0.0;
            t->w2 += a.weight * a.weight;
        }
    }
    if (out.answers < settings.minimumAnswers || all.w <= 0)
        return out;
    out.enough = true;
    // The overall share, kept off 0 and 1 so that no objective is ever
    // certain from the others alone.
    const double overall = std::clamp(all.wc / all.w, 0.02, 0.98);
    // Weights shrink what the answers are worth: n answers of unequal weight
    // count as (sum w)^2 / sum w^2 equal ones.
    struct Objective {
        QString name;
        double share, n, observed;
    };
    std::vector<Objective> list;
    double nTotal = 0, nSquares = 0, spread = 0;
    for (auto it = shares.cbegin(); it != shares.cend(); ++it) {
        const Sums s = by.value(it.key());
        const double n = s.w2 > 0 ? s.w * s.w / s.w2 : 0.0;
        const double observed = s.w > 0 ? s.wc / s.w : overall;
        list.push_back({it.key(), it.value(), n, observed});
        nTotal += n;
        nSquares += n * n;
        spread += n * (observed - overall) * (observed - overall);
    }
    // How far objectives lie apart beyond chance (a moment estimate), which
    // sets how far each leans on the overall share: an objective lies as far
    // from it as priorAnswers answers of its own would say.
    const double chance = overall * (1 - overall);
    const double denominator = nTotal - nSquares / std::max(nTotal, 1.0);
    double between = denominator > 0
                         ? (spread - (static_cast<double>(by.size()) - 1) * chance) / denominator
                         : 0.0;
    between = std::max(between, settings.minimumSpread);
    const double a = std::clamp(chance / between, 1.0, settings.priorAnswers);

    // The estimate is linear in the answers; its variance sums each answer's
    // part (its objective's own term and its part in the overall share) and
    // what leaning on the overall share may miss of each objective.
    double mean = 0, variance = 0, onOverall = 0;
    QHash<QString, double> ownPart;
    QHash<QString, double> estimate;
    struct Loss {
        QString objective;
        double points;
        bool answered;
    };
    std::vector<Loss> losses;
    for (const Objective& o : list) {
        const double p = (a * overall + o.n * o.observed) / (a + o.n);
        mean += o.share * p;
        onOverall += o.share * a / (a + o.n);
        ownPart.insert(o.name, o.share * o.n / (a + o.n));
        estimate.insert(o.name, p);
        const double lean = o.share * a / (a + o.n);
        variance += lean * lean * between;
        losses.push_back({o.name, o.share * (1 - p), o.n > 0});
    }
    for (const WeighedAnswer& ans : answers) {
        const auto found = by.constFind(ans.objective);
        if (found == by.constEnd())
            continue;
        const double k =
            ownPart.value(ans.objective) * ans.weight / found->w + onOverall * ans.weight / all.w;
        const double p = estimate.value(ans.objective);
        variance += k * k * p * (1 - p);
    }
    const double half = settings.z * std::sqrt(variance);
    out.score = 1000.0 * mean;
    out.low = 1000.0 * std::max(0.0, mean - half);
    out.high = 1000.0 * std::min(1.0, mean + half);
    std::sort(losses.begin(), losses.end(), [](const Loss& x, const Loss& y) {
        if (x.answered != y.answered)
            return x.answered;
        if (x.points != y.points)
            return x.points > y.points;
        return x.objective < y.objective;
    });
    for (const Loss& l : losses) {
        if (out.holdingBack.size() >= 2 || !l.answered)
            break;
        out.holdingBack << l.objective;
    }
    return out;
}

QString readinessText(const ReadinessEstimate& estimate, const ReadinessSettings& settings)
{
    if (!estimate.enough)
        return QStringLiteral("Readiness: not enough answers yet (%1 of the %2 needed).")
            .arg(estimate.answers)
            .arg(settings.minimumAnswers);
    auto tens = [](double v) {
        return QString::number(static_cast<int>(std::lround(v / 10.0)) * 10);
    };
    QStringList names;
    for (const QString& o : estimate.holdingBack) {
        const store::ExamObjective* known = store::findExamObjective(o);
        names << (known ? known->shortName : o);
    }
    QString text = QStringLiteral("Estimated %1 (%2\u2013%3) from %4 answers")
                       .arg(tens(estimate.score), tens(estimate.low), tens(estimate.high))
                       .arg(estimate.answers);
    if (!names.isEmpty())
        text += QStringLiteral("; weakest: ") + names.join(QStringLiteral(", "));
    return text;
}

} // namespace learning

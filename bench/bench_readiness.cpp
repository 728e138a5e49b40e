// How honest the readiness estimate is: candidates of known skill per
// objective sit 1 to N practice exams; prints how often the 90 % interval
// holds the score they would be expected to make, the mean absolute error of
// the estimate and the interval's mean width. Run: bench_readiness [seed]
// [candidates] [max exams].
#include "ReadinessSimulation.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const unsigned seed = args.size() > 1 ? args.at(1).toUInt() : 1;
    const int candidates = args.size() > 2 ? args.at(2).toInt() : 20000;
    std::printf("max exams  cases  coverage  mean abs error  mean width\n");
    for (int maxExams : {1, 2, 4, 8, 16}) {
        if (args.size() > 3 && maxExams != args.at(3).toInt())
            continue;
        const readinesssim::Outcome o = readinesssim::simulate(seed, candidates, maxExams);
        std::printf("%9d  %5d  %8.3f  %14.1f  %10.1f\n", maxExams, o.cases, o.coverage(),
                    o.meanError(), o.meanWidth());
    }
    return 0;
}

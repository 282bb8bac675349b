// A certificate of 100 points drawn to PDF (text layout, pagination, fonts embedded), against
// the baseline of one of a single point: what the points cost beyond the fixed pages.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>

#include "qm7x/certificate/document.h"
#include "qm7x/certificate/pdf.h"
#include "sample_certificate.h"
#include "timing_reporter.h"

namespace {

using qm7x::certificate::SampleCertificate;

void BM_CertificateOfOnePoint(benchmark::State& state) {
    const auto c = SampleCertificate(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm7x::certificate::RenderPdf(c).bytes.size());
    }
}

void BM_CertificateOf100Points(benchmark::State& state) {
    const auto c = SampleCertificate(50, 50);
    int pages = 0;
    for (auto _ : state) {
        const auto pdf = qm7x::certificate::RenderPdf(c);
        pages = pdf.pages;
        benchmark::DoNotOptimize(pdf.bytes.size());
    }
    state.counters["pages"] = pages;
}

void BM_TextOf100Points(benchmark::State& state) {
    const auto c = SampleCertificate(50, 50);
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm7x::certificate::DocumentHtml(c).size());
    }
}

BENCHMARK(BM_CertificateOfOnePoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CertificateOf100Points)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextOf100Points)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    return qm7x::bench::RunWithSummary(argc, argv, [](const qm7x::bench::Timings& t) {
        const auto hundred = t.find("BM_CertificateOf100Points");
        const auto one = t.find("BM_CertificateOfOnePoint");
        if (hundred != t.end() && one != t.end()) {
            std::printf("\n100 points / 1 point: real %.2f (100 points: %.3f s, target < 1 s)\n",
                        hundred->second.real / one->second.real, hundred->second.real);
        }
    });
}

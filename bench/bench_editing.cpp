// The map editing tools in the window, against the simulated variator:
// - an operation on all 80 points of a map, from the window's call to the
//   result drawn in the chart, the grid and the gas 3D view: median and 99th
//   percentile per operation against one 60 Hz frame (target: p99 under 16 ms);
// - the heap taken by 10,000 undo steps, of one point each (a key step) and
//   of 80 points each (an operation on a whole map) (target: under 20 MB).
// Runs on the offscreen platform unless a display or a platform is given.
#include <malloc.h>

#include <QApplication>
#include <QTabWidget>
#include <QThread>
#include <QUndoStack>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>
#include <vector>

#include "BenchSupport.h"
#include "Demo.h"
#include "Desktop.h"
#include "Gui2.h"
#include "MainWindow.h"
#include "MapChart.h"
#include "MapControls.h"
#include "MapEditing.h"
#include "MapGrid.h"
#include "Program.h"
#include "View3D.h"
#include "View3DWidget.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFrameMs = 1000.0 / 60.0;

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::size_t HeapBytes() { return mallinfo2().uordblks; }

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    tovrel::ui::UseTahoma(app);
    tovrel::bench::PortDir ports;
    const std::string dir = ports.path();
    std::filesystem::current_path(dir);

    tovrel::sim::Options o;
    o.port_dir = dir;
    o.port_number = 1;
    tovrel::sim::Variator device(o);
    device.SetEeprom(tovrel::sim::DemoConfiguration());
    device.SetWorking(tovrel::sim::DemoConfiguration());
    device.Start();

    using tovrel::MapKind;
    int status = 0;
    {
        tovrel::ui::Desktop desktop([dir](tovrel::Screen& s, tovrel::Canvas& c) {
            auto p = std::make_unique<tovrel::Program>(s, c);
            p->link.sleep_ms = [](int) {};
            p->link.port_dir = dir;
            p->link.default_port_dir = dir;
            p->settings.program_dir = dir;
            return p;
        });
        desktop.screen.dialogs_suppressed = true;
        auto& window = desktop.ShowMainWindow();
        desktop.device.Post([](tovrel::Program& p) { tovrel::gui2::FormActivate(p); });
        const auto settle = [&] {
            QCoreApplication::processEvents();
            desktop.device.WaitIdle(60000);
            QCoreApplication::processEvents();
            desktop.device.WaitIdle(60000);
        };
        settle();
        auto* editing = window.editing();
        const auto* c = tovrel::FindMapControls(MapKind::LPG);
        auto* chart = window.findChild<tovrel::ui::MapChart*>(QString::fromUtf8(c->chart.data(), int(c->chart.size())));
        auto* grid = window.findChild<tovrel::ui::MapGrid*>(QString::fromUtf8(c->grid.data(), int(c->grid.size())));
        auto* view = window.findChild<tovrel::ui::View3DWidget*>(QString::fromUtf8(tovrel::kGas3DChart.data(),
                                                                                   int(tovrel::kGas3DChart.size())));
        if (!chart || !grid || !view) {
            std::fprintf(stderr, "bench_editing: the map widgets are missing\n");
            return 1;
        }
        window.pages()->setCurrentIndex(c->chart_page);
        settle();
        std::vector<int> all(tovrel::MapPointCount);
        std::iota(all.begin(), all.end(), 0);
        editing->Select(MapKind::LPG, all);

        // Alternate operations so that every one changes all 80 points.
        struct Op {
            tovrel::MapOperation op;
            double argument;
        };
        const Op ops[] = {{tovrel::MapOperation::Step, 0.1}, {tovrel::MapOperation::Scale, 90},
                          {tovrel::MapOperation::Step, -0.1}, {tovrel::MapOperation::Scale, 110}};
        constexpr int kRuns = 400;
        std::vector<double> ms, logic_ms, chart_ms, grid_ms, view_ms;
        for (int i = 0; i < kRuns; ++i) {
            const auto& op = ops[i % 4];
            const auto t0 = Clock::now();
            editing->RunOperation(MapKind::LPG, op.op, op.argument, "bench");
            // The operation and its redraw calls on the device thread, then
            // the screen's batch applied to the widgets.
            while (!desktop.device.Idle()) {
                QCoreApplication::processEvents();
                QThread::yieldCurrentThread();
            }
            QCoreApplication::processEvents();
            desktop.screen.Flush();
            QCoreApplication::processEvents();
            const auto t1 = Clock::now();
            chart->replot(QCustomPlot::rpImmediateRefresh);
            const auto t2 = Clock::now();
            (void)grid->grab();  // drawn although its page is hidden
            const auto t3 = Clock::now();
            (void)view->grab();  // the 3D view drawn although its page is hidden
            const auto t4 = Clock::now();
            const auto span = [](Clock::time_point a, Clock::time_point b) {
                return std::chrono::duration<double, std::milli>(b - a).count();
            };
            ms.push_back(span(t0, t4));
            logic_ms.push_back(span(t0, t1));
            chart_ms.push_back(span(t1, t2));
            grid_ms.push_back(span(t2, t3));
            view_ms.push_back(span(t3, t4));
        }
        // For scale: an empty call to the device thread and back, the same way.
        std::vector<double> empty_ms;
        for (int i = 0; i < kRuns; ++i) {
            const auto t0 = Clock::now();
            desktop.device.Post([](tovrel::Program&) {});
            while (!desktop.device.Idle()) {
                QCoreApplication::processEvents();
                QThread::yieldCurrentThread();
            }
            QCoreApplication::processEvents();
            empty_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        const double median = Percentile(ms, 0.5), p99 = Percentile(ms, 0.99);
        std::printf("operation on 80 points, drawn in chart, grid and 3D (%d runs): median %.2f ms, p99 %.2f ms, "
                    "p99 / frame (%.1f ms) %.2f, target p99 < 16 ms: %s\n",
                    kRuns, median, p99, kFrameMs, p99 / kFrameMs, p99 < 16 ? "met" : "NOT met");
        if (p99 >= 16) status = 1;
        std::printf("  of which (median / p99): device thread and screen batch %.2f / %.2f ms, chart %.2f / %.2f ms, "
                    "grid %.2f / %.2f ms, 3D %.2f / %.2f ms\n",
                    Percentile(logic_ms, 0.5), Percentile(logic_ms, 0.99), Percentile(chart_ms, 0.5),
                    Percentile(chart_ms, 0.99), Percentile(grid_ms, 0.5), Percentile(grid_ms, 0.99),
                    Percentile(view_ms, 0.5), Percentile(view_ms, 0.99));
        std::printf("  an empty call to the device thread and back: median %.2f ms, p99 %.2f ms\n",
                    Percentile(empty_ms, 0.5), Percentile(empty_ms, 0.99));

        // The heap of 10,000 undo steps, without the device thread (the
        // steps are pushed as the window receives them).
        for (int points : {1, 80}) {
            editing->Stack()->clear();
            QCoreApplication::processEvents();
            const std::size_t before = HeapBytes();
            for (int i = 0; i < 10000; ++i) {
                tovrel::ui::EditRecord r;
                tovrel::MapStep step;
                step.cause = tovrel::MapEditCause::EditOperation;
                tovrel::MapStepPart part;
                part.kind = MapKind::LPG;
                part.first = points == 1 ? i % 80 : 0;
                part.before.assign(static_cast<std::size_t>(points), 1.0 + i);
                part.after.assign(static_cast<std::size_t>(points), 2.0 + i);
                step.parts.push_back(std::move(part));
                r.step = std::move(step);
                r.label = QString("Шаг вверх: УОЗ газ");
                r.merge_points = points == 1 ? std::vector<int>{i % 80} : all;
                editing->Receive(r);
            }
            const double mb = static_cast<double>(HeapBytes() - before) / (1024.0 * 1024.0);
            std::printf("10,000 undo steps of %d point(s): %.2f MB (%d in the stack), target < 20 MB: %s\n", points,
                        mb, editing->Stack()->count(), mb < 20 ? "met" : "NOT met");
            if (mb >= 20) status = 1;
        }
        editing->Stack()->clear();
        desktop.Stop(20000);
    }
    device.Stop();
    return status;
}

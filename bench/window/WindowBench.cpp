// Times what the window adds to the application's work, over a throwaway
// home folder on the offscreen platform:
//
//   quillfen-window-bench sync window|headless SOURCE DESTINATION
//       one sync through the view model, with the main window shown or with
//       no window at all; prints three figures, in seconds, from the start
//       to the result: the wall time, the processor time of the whole
//       process and that of the main thread alone. The window's work is all
//       on the main thread, so the last figure shows it apart from the disk's.
//   quillfen-window-bench preview SOURCE DESTINATION
//       a preview of SOURCE (not timed), then prints the seconds the preview
//       sheet takes to open and draw its list, and the median and slowest
//       milliseconds to draw it after a jump anywhere in the list.

#include "ThrowawayHome.h"
#include "app/AppContext.h"
#include "app/AppViewModel.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/PreviewSheet.h"
#include "ui/SheetHost.h"
#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace quillfen;

class Bench {
public:
    Bench(bool withWindow, const char* source, const char* destination)
        : context_(dialogs_, QDBusConnection::sessionBus(),
                   QCoreApplication::applicationFilePath()) {
        if (withWindow) {
            window_ =
                std::make_unique<MainWindow>(viewModel(), context_.shell(), context_.defaults());
            window_->show();
            (void)QTest::qWaitForWindowExposed(window_.get());
        }
        viewModel().setSourcePath(QString::fromLocal8Bit(source));
        viewModel().setDestinationPath(QString::fromLocal8Bit(destination));
        // The folder statistics run on threads of their own; the run should
        // not share the machine with them.
        (void)QTest::qWaitFor(
            [this] {
                return !viewModel().isComputingSourceStats() && !viewModel().isComputingDestStats();
            },
            120000);
    }

    AppViewModel& viewModel() { return context_.viewModel(); }
    MainWindow* window() { return window_.get(); }

    struct Times {
        double wall = 0;
        double process = 0;
        double mainThread = 0;
    };

    // From the start of a run to its result.
    Times run(bool dryRun) {
        QElapsedTimer timer;
        Times times;
        const double processAtStart = processorSeconds(RUSAGE_SELF);
        const double mainThreadAtStart = processorSeconds(RUSAGE_THREAD);
        // Its own loop: quitting the application's would ask the window to
        // close first.
        QEventLoop loop;
        QObject::connect(&viewModel(), &AppViewModel::runFinished, &loop, [&] {
            times.wall = double(timer.nsecsElapsed()) / 1e9;
            times.process = processorSeconds(RUSAGE_SELF) - processAtStart;
            times.mainThread = processorSeconds(RUSAGE_THREAD) - mainThreadAtStart;
            loop.quit();
        });
        timer.start();
        viewModel().startSync(dryRun ? RunMode::preview : RunMode::sync);
        if (viewModel().isSyncing())
            loop.exec();
        return times;
    }

private:
    static double processorSeconds(int who) {
        rusage usage{};
        getrusage(who, &usage);
        const auto seconds = [](const timeval& value) {
            return double(value.tv_sec) + double(value.tv_usec) / 1e6;
        };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }

    FileDialogs dialogs_;
    AppContext context_;
    std::unique_ptr<MainWindow> window_;
};

double milliseconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

int timePreview(Bench& bench) {
    bench.run(true);
    AppViewModel& viewModel = bench.viewModel();
    viewModel.setShowPreview(false);
    QTest::qWait(100);

    QElapsedTimer timer;
    timer.start();
    viewModel.setShowPreview(true);
    auto* sheet =
        qobject_cast<PreviewSheet*>(bench.window()->sheetHost().openSheet(Sheet::preview));
    if (!sheet) {
        std::fprintf(stderr, "quillfen-window-bench: no preview sheet\n");
        return 1;
    }
    // Drawn once in full, as its first showing draws it.
    (void)sheet->grab();
    const double openSeconds = milliseconds(timer) / 1000;
    (void)QTest::qWaitForWindowExposed(sheet);

    QScrollBar* bar = sheet->listView()->verticalScrollBar();
    std::vector<double> frames;
    for (int step = 0; step < 200; ++step) {
        timer.restart();
        bar->setValue(int(std::int64_t(bar->maximum()) * ((step * 7919) % 200) / 199));
        sheet->listView()->viewport()->repaint();
        frames.push_back(milliseconds(timer));
    }
    std::sort(frames.begin(), frames.end());
    std::printf("items %zu open %.4f frame-median-ms %.3f frame-max-ms %.3f\n",
                viewModel.previewItems().size(), openSeconds, frames[frames.size() / 2],
                frames.back());
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: quillfen-window-bench sync window|headless SOURCE DESTINATION\n"
                         "       quillfen-window-bench preview SOURCE DESTINATION\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const tools::ThrowawayHome home;
    QApplication application(argc, argv);
    setUpIconTheme();
    if (argc == 5 && std::strcmp(argv[1], "sync") == 0) {
        const bool withWindow = std::strcmp(argv[2], "window") == 0;
        if (!withWindow && std::strcmp(argv[2], "headless") != 0)
            return usage();
        Bench bench(withWindow, argv[3], argv[4]);
        const auto times = bench.run(false);
        const auto& result = bench.viewModel().lastResult();
        if (!result || result->status != SyncStatus::success) {
            std::fprintf(stderr, "quillfen-window-bench: the run did not succeed\n");
            return 1;
        }
        std::printf("%.4f %.4f %.4f\n", times.wall, times.process, times.mainThread);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "preview") == 0) {
        Bench bench(true, argv[2], argv[3]);
        return timePreview(bench);
    }
    return usage();
}

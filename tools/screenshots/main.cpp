// Renders the main window in every phase of a run and every sheet, in a
// light and a dark palette, to PNG files: quillfen-screenshots OUTPUT_FOLDER.
//
// Everything runs over a throwaway home folder seeded with sample profiles,
// history and an exclusion rule, so the sheets look as they do in use. Runs
// are real runs of sample folders; the phases a run passes too quickly to
// catch are shown through the progress view while a slow run holds the
// window in its running state.

#include "ThrowawayHome.h"
#include "app/AppContext.h"
#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "storage/StorageService.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/SheetDialog.h"
#include "ui/SheetHost.h"
#include "ui/SymbolIcons.h"
#include "ui/SyncProgressView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace quillfen;
namespace fs = std::filesystem;
using Clock = TransferRate::Clock;

// The clock the progress view measures rates with; advanced by hand.
Clock::time_point fakeNow = Clock::now();

void writeFile(const fs::path& path, std::size_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, 'q');
}

HistoryEntry historyEntry(const fs::path& home, int hoursAgo, SyncStatus status, bool dryRun) {
    HistoryEntry entry;
    entry.startedAt = now() - std::chrono::hours(hoursAgo) - std::chrono::seconds(42);
    entry.endedAt = now() - std::chrono::hours(hoursAgo);
    entry.source = (home / "Documents").string();
    entry.destination = "/media/backup/Documents";
    entry.isDryRun = dryRun;
    SyncResult result;
    result.status = status;
    result.filesProcessed = 1240;
    result.filesCopied = status == SyncStatus::failed ? 0 : 37;
    result.bytesTransferred = 48'200'000;
    result.duration = 42;
    result.isDryRun = dryRun;
    if (status == SyncStatus::failed)
        result.errorMessage = "The destination folder is not writable.";
    entry.result = result;
    return entry;
}

// Profiles, history and a rule of the user's own, as after some weeks of use.
void seedStore(const fs::path& home) {
    StorageService store(StorageService::defaultContainer());
    std::vector<SyncProfile> profiles;
    for (const char* name : {"Documents to USB", "Photos to NAS", "Projects mirror"}) {
        SyncProfile profile;
        profile.name = name;
        profile.source = (home / "Documents").string();
        profile.destination = "/media/backup/" + profile.name;
        profile.deleteExtras = profile.name == "Projects mirror";
        profiles.push_back(profile);
    }
    store.saveProfiles(profiles);
    std::vector<HistoryEntry> history{
        historyEntry(home, 2, SyncStatus::success, false),
        historyEntry(home, 5, SyncStatus::success, true),
        historyEntry(home, 26, SyncStatus::cancelled, false),
        historyEntry(home, 50, SyncStatus::failed, false),
    };
    store.saveHistory(history);
    auto rules = builtInPatterns();
    ExclusionPattern own;
    own.pattern = "*.tmp";
    own.label = "Temporary files";
    rules.push_back(own);
    store.saveExclusionPatterns(rules);
}

QPalette lightPalette() {
    return QStyleFactory::create(QStringLiteral("Fusion"))->standardPalette();
}

QPalette darkPalette() {
    QPalette palette;
    const QColor window(0x2d, 0x2d, 0x2d);
    const QColor text(0xee, 0xee, 0xee);
    const QColor disabled(0x80, 0x80, 0x80);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x78, 0xae, 0xed));
    palette.setColor(QPalette::PlaceholderText, disabled);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    palette.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::Mid, QColor(0x26, 0x26, 0x26));
    palette.setColor(QPalette::Dark, QColor(0x1a, 0x1a, 0x1a));
    palette.setColor(QPalette::Shadow, Qt::black);
    return palette;
}

// How much of the pending work runs between a palette switch and a capture.
enum class Settle {
    // Only palette changes and layout requests, so that a run's next
    // snapshot cannot change the scene.
    paletteOnly,
    // Everything: sheets apply their tints again a moment after the switch
    // (followTints), and no run is going while they are captured.
    everything,
};

// Saves `widget` as NAME-light.png and NAME-dark.png.
void capture(QWidget& widget, const QString& name, const QDir& output,
             Settle settle = Settle::paletteOnly) {
    const std::pair<const char*, QPalette> looks[] = {{"light", lightPalette()},
                                                      {"dark", darkPalette()}};
    for (const auto& [look, palette] : looks) {
        QApplication::setPalette(palette);
        for (const auto type : {QEvent::ApplicationPaletteChange, QEvent::PaletteChange,
                                QEvent::LayoutRequest, QEvent::LayoutRequest})
            QCoreApplication::sendPostedEvents(nullptr, type);
        if (settle == Settle::everything)
            QTest::qWait(50);
        const QString file =
            output.filePath(name + u'-' + QLatin1String(look) + QStringLiteral(".png"));
        if (!widget.grab().save(file))
            std::cerr << "cannot write " << file.toStdString() << '\n';
    }
    QApplication::setPalette(lightPalette());
}

void waitUntilIdle(AppViewModel& viewModel) {
    if (!QTest::qWaitFor([&] { return !viewModel.isSyncing(); }, 60000))
        std::cerr << "a run did not finish\n";
}

SyncProgress sampleProgress(SyncProgress::Phase phase, std::int64_t processedBytes) {
    SyncProgress progress;
    progress.phase = phase;
    progress.totalFiles = 5120;
    progress.processedFiles = 2140 + processedBytes / 1'000'000;
    progress.copiedFiles = 1874;
    progress.deletedFiles = 12;
    progress.totalBytes = 2'400'000'000;
    progress.processedBytes = processedBytes;
    progress.copiedBytes = processedBytes - 120'000'000;
    progress.currentFile = "Photos/2025/Summer holiday in the mountains/IMG_20250714_183512.jpg";
    return progress;
}

// Scanning, copying and verifying, shown while a slow run keeps the window
// in its running state.
void captureRunningPhases(MainWindow& window, AppViewModel& viewModel, const QDir& output) {
    viewModel.setBandwidthLimit(100);
    viewModel.startSync(RunMode::sync);
    if (!QTest::qWaitFor(
            [&] { return viewModel.syncProgress().phase == SyncProgress::Phase::syncing; }, 30000))
        std::cerr << "the slow run never started copying\n";
    QTest::qWait(300);
    auto* view = window.findChild<SyncProgressView*>();
    view->present(sampleProgress(SyncProgress::Phase::scanning, 0));
    capture(window, QStringLiteral("main-scanning"), output);
    view->present(sampleProgress(SyncProgress::Phase::syncing, 900'000'000));
    fakeNow += std::chrono::seconds(20);
    view->present(sampleProgress(SyncProgress::Phase::syncing, 1'864'000'000));
    capture(window, QStringLiteral("main-syncing"), output);
    view->present(sampleProgress(SyncProgress::Phase::verifying, 2'400'000'000));
    capture(window, QStringLiteral("main-verifying"), output);
    viewModel.cancelSync();
    waitUntilIdle(viewModel);
    capture(window, QStringLiteral("main-done-cancelled"), output);
    viewModel.setBandwidthLimit(0);
}

void captureFinishedRuns(MainWindow& window, AppViewModel& viewModel, const fs::path& home,
                         const QDir& output) {
    const fs::path source = home / "Documents";
    const fs::path destination = home / "Backup";
    writeFile(destination / "old-notes.txt", 300); // deleted by mirror mode
    viewModel.setDeleteExtras(true);
    viewModel.startSync(RunMode::sync);
    waitUntilIdle(viewModel);
    capture(window, QStringLiteral("main-done-success"), output);

    // A destination inside the source fails before anything is written.
    viewModel.setDestinationPath(toQString(source / "Backup"));
    viewModel.startSync(RunMode::sync);
    waitUntilIdle(viewModel);
    capture(window, QStringLiteral("main-done-failed"), output);

    viewModel.setDestinationPath(toQString(destination));
    for (int index = 0; index < 40; ++index)
        writeFile(source / "Reports" / ("report-" + std::to_string(index) + ".pdf"),
                  std::size_t(2000 + index * 731));
    writeFile(destination / "stale.log", 10);
    viewModel.startSync(RunMode::preview);
    waitUntilIdle(viewModel);
    viewModel.setShowPreview(false);
    QTest::qWait(50);
    capture(window, QStringLiteral("main-preview-complete"), output);
}

// Every sheet, opened through its flag: sheets added later appear too.
void captureSheets(MainWindow& window, AppViewModel& viewModel, const QDir& output) {
    for (std::size_t index = 0; index < kSheetCount; ++index) {
        const auto sheet = Sheet(index);
        viewModel.setShown(sheet, true);
        SheetDialog* dialog = window.sheetHost().openSheet(sheet);
        if (!dialog)
            continue;
        (void)QTest::qWaitForWindowExposed(dialog);
        QTest::qWait(100);
        const QString name = dialog->windowTitle().toLower().replace(u' ', u'-');
        capture(*dialog, QStringLiteral("sheet-") + name, output, Settle::everything);
        viewModel.setShown(sheet, false);
        QTest::qWait(50);
    }
    // The schedule's sections show once it runs.
    viewModel.setShown(Sheet::schedule, true);
    if (SheetDialog* schedule = window.sheetHost().openSheet(Sheet::schedule)) {
        (void)QTest::qWaitForWindowExposed(schedule);
        if (auto* weekly =
                schedule->findChild<QAbstractButton*>(QStringLiteral("weeklyFrequencyButton")))
            weekly->click();
        QTest::qWait(100);
        capture(*schedule, QStringLiteral("sheet-schedule-weekly"), output, Settle::everything);
    }
    viewModel.setShown(Sheet::schedule, false);
}

// The tour's banner over the window, and over the sheet a step opens.
void captureTour(MainWindow& window, AppViewModel& viewModel, const QDir& output) {
    viewModel.startTour();
    while (viewModel.activeTourStep() != TourStep::syncAndPreview)
        viewModel.advanceTour();
    QTest::qWait(500);
    capture(window, QStringLiteral("main-tour"), output, Settle::everything);
    viewModel.advanceTour();
    if (QTest::qWaitFor([&] { return window.sheetHost().openSheet(Sheet::history) != nullptr; }))
        capture(*window.sheetHost().openSheet(Sheet::history), QStringLiteral("sheet-history-tour"),
                output, Settle::everything);
    viewModel.endTour();
    QTest::qWait(50);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillfen-screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const tools::ThrowawayHome throwawayHome;
    const fs::path& home = throwawayHome.path();
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(lightPalette());
    setUpIconTheme();
    const QDir output(QString::fromLocal8Bit(argv[1]));
    output.mkpath(QStringLiteral("."));

    seedStore(home);
    const fs::path source = home / "Documents";
    for (int index = 0; index < 24; ++index)
        writeFile(source / "Notes" / ("note-" + std::to_string(index) + ".md"),
                  std::size_t(1500 + index * 97));
    writeFile(source / "draft.tmp", 100); // excluded by the rule of the user's own
    writeFile(source / "Videos" / "talk.mp4", 2'000'000);

    FileDialogs dialogs;
    AppContext context(dialogs, QDBusConnection::sessionBus(),
                       QCoreApplication::applicationFilePath());
    MainWindowTiming timing;
    timing.progress.clock = [] {
        return fakeNow;
    };
    MainWindow window(context.viewModel(), context.shell(), context.defaults(), timing);
    window.resize(1080, 740);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QTest::qWait(200);
    capture(window, QStringLiteral("main-idle"), output);

    auto& viewModel = context.viewModel();
    viewModel.setSourcePath(toQString(source));
    viewModel.setDestinationPath(toQString(home / "Backup"));
    (void)QTest::qWaitFor([&] { return viewModel.sourceStats() && viewModel.destStats(); }, 10000);
    captureRunningPhases(window, viewModel, output);
    captureFinishedRuns(window, viewModel, home, output);
    captureSheets(window, viewModel, output);
    captureTour(window, viewModel, output);

    std::cout << "Screenshots in " << output.absolutePath().toStdString() << '\n';
    return 0;
}

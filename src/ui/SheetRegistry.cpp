#include "ui/SheetRegistry.h"

#include "app/ReleaseNotes.h"
#include "ui/AboutSheet.h"
#include "ui/CleanSourceSheet.h"
#include "ui/ExclusionsSheet.h"
#include "ui/HelpSheet.h"
#include "ui/HistorySheet.h"
#include "ui/OnboardingSheet.h"
#include "ui/PreviewSheet.h"
#include "ui/ProfilesSheet.h"
#include "ui/ReleaseNotesSheet.h"
#include "ui/ScheduleSheet.h"
#include "ui/SheetHost.h"
#include "ui/TermsSheet.h"
#include "ui/TourBanner.h"

namespace quillfen {
namespace {

// A sheet that a tour step opens carries the tour's banner.
template <typename SheetType> SheetHost::Factory onTour(Sheet sheet) {
    return [sheet](const SheetContext& context) {
        auto* dialog = new SheetType(context.viewModel, context.parent);
        TourBanner::addTo(*dialog, context.viewModel, sheet);
        return dialog;
    };
}

} // namespace

void registerSheets(SheetHost& host) {
    host.registerSheet(Sheet::exclusions, QStringLiteral("exclusions"),
                       onTour<ExclusionsSheet>(Sheet::exclusions));
    host.registerSheet(Sheet::profiles, QStringLiteral("profiles"),
                       onTour<ProfilesSheet>(Sheet::profiles));
    host.registerSheet(Sheet::schedule, QStringLiteral("schedule"),
                       onTour<ScheduleSheet>(Sheet::schedule));
    host.registerSheet(Sheet::history, QStringLiteral("history"),
                       onTour<HistorySheet>(Sheet::history));
    host.registerSheet(Sheet::help, QStringLiteral("help"),
                       [](const SheetContext& context) { return new HelpSheet(context.parent); });
    host.registerSheet(Sheet::releaseNotes, QStringLiteral("releasenotes"),
                       [](const SheetContext& context) {
                           return new ReleaseNotesSheet(kReleaseNotesResource, context.parent);
                       });
    host.registerSheet(Sheet::terms, QStringLiteral("terms"),
                       [](const SheetContext& context) { return new TermsSheet(context.parent); });
    host.registerSheet(Sheet::about, QString(),
                       [](const SheetContext& context) { return new AboutSheet(context.parent); });
    host.registerSheet(Sheet::preview, QStringLiteral("preview"), [](const SheetContext& c) {
        return new PreviewSheet(c.viewModel, c.parent);
    });
    host.registerSheet(Sheet::cleanSource, QString(), onTour<CleanSourceSheet>(Sheet::cleanSource));
    host.registerSheet(Sheet::onboarding, QString(), [](const SheetContext& context) {
        return new OnboardingSheet(context.viewModel, context.defaults, context.parent);
    });
}

} // namespace quillfen

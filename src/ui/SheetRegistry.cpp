#include "ui/SheetRegistry.h"

#include "ui/PlaceholderSheet.h"
#include "ui/PreviewSheet.h"
#include "ui/SheetHost.h"

namespace quillfen {
namespace {

SheetHost::Factory placeholder(const char* title) {
    return [title](const SheetContext& context) {
        return new PlaceholderSheet(QString::fromUtf8(title), context.parent);
    };
}

} // namespace

void registerSheets(SheetHost& host) {
    host.registerSheet(Sheet::exclusions, QStringLiteral("exclusions"), placeholder("Exclusions"));
    host.registerSheet(Sheet::profiles, QStringLiteral("profiles"), placeholder("Profiles"));
    host.registerSheet(Sheet::schedule, QStringLiteral("schedule"), placeholder("Schedule"));
    host.registerSheet(Sheet::history, QStringLiteral("history"), placeholder("History"));
    host.registerSheet(Sheet::help, QStringLiteral("help"), placeholder("Quillfen Help"));
    host.registerSheet(Sheet::releaseNotes, QStringLiteral("releasenotes"),
                       placeholder("Release Notes"));
    host.registerSheet(Sheet::terms, QStringLiteral("terms"), placeholder("Terms of Use"));
    host.registerSheet(Sheet::about, QString(), placeholder("About Quillfen"));
    host.registerSheet(Sheet::preview, QStringLiteral("preview"), [](const SheetContext& c) {
        return new PreviewSheet(c.viewModel, c.parent);
    });
    host.registerSheet(Sheet::cleanSource, QString(), placeholder("Clean Source"));
    host.registerSheet(Sheet::onboarding, QString(), placeholder("Welcome to Quillfen"));
}

} // namespace quillfen

#pragma once

#include <QString>

namespace quillfen {

// The application's own notice, shown by the about panel and the terms.
inline const QString kCopyrightNotice = QStringLiteral("\u00A9 2026 the Quillfen developers");

inline const QString kAboutTagline =
    QStringLiteral("Fast, native, incremental file backups for Linux.");

} // namespace quillfen

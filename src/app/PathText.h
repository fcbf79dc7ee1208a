#pragma once

#include <QFile>
#include <QString>

#include <filesystem>

namespace quillfen {

// The one place where paths cross between Qt text and the byte paths of the
// layers below.
inline std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

inline QString toQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

inline QString toQString(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace quillfen

#pragma once

#include <filesystem>
#include <optional>
#include <sys/types.h>

namespace quillfen {

// One trash folder after the freedesktop.org rules: "files/" holds the
// trashed items under unique names, "info/" one ".trashinfo" per item saying
// where it came from and when. Works on byte paths throughout.
class TrashDirectory {
public:
    // The home trash at `root`, created with any missing parents when absent.
    static std::optional<TrashDirectory> home(const std::filesystem::path& root);

    // The trash of the file system mounted at `topDirectory` for user `uid`:
    // "$topdir/.Trash/$uid" when the administrator prepared a sticky, real
    // ".Trash" folder, otherwise "$topdir/.Trash-$uid". None when neither is
    // a safe folder of that user.
    static std::optional<TrashDirectory> forTopDirectory(const std::filesystem::path& topDirectory,
                                                         uid_t uid);

    const std::filesystem::path& root() const { return root_; }

    // Moves the item at `original` (an absolute path) into the trash by a
    // rename within its file system. On failure nothing is left behind and
    // the item stays where it was.
    bool receive(const std::filesystem::path& original) const;

private:
    TrashDirectory(std::filesystem::path root, std::filesystem::path pathBase);

    static std::optional<TrashDirectory> withSubfolders(std::filesystem::path root,
                                                        std::filesystem::path pathBase);
    std::string pathText(const std::filesystem::path& original) const;

    std::filesystem::path root_;
    // The folder that relative "Path" keys start from; empty for the home
    // trash, whose keys are absolute.
    std::filesystem::path pathBase_;
};

} // namespace quillfen

// Reproducible benchmark trees. The same seed always gives the same names,
// sizes and bytes, so runs on different machines measure the same work.
//
//   make-tree t1 DIR          20,000 files of 1-16 KiB over 1,020 folders
//   make-tree t2 DIR          four files of 256 MiB
//   make-tree t3 DIR          t1 plus 200 files of 1-4 MiB
//   make-tree p200k DIR       200,000 files of 0-2 KiB over 1,000 folders (a long preview)
//   make-tree many DIR FILES  FILES files of 0-200 bytes in FILES/50 folders nested
//                             at random up to 18 deep (T4 is 200,000 of them)
//   make-tree change DIR PCT  rewrite PCT% of a t1 tree's files (new bytes, new time)
//   make-tree extras DIR PCT  add PCT% more files to a t1 tree, named so no source has them
//
// Built by make-trees.sh with the system compiler; it is not part of the product.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSeed = 20260101;
constexpr int kTopFolders = 20;
constexpr int kFoldersPerTop = 50;
constexpr int kSmallFiles = 20000;
constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;

// splitmix64: tiny, fast, and fully specified (unlike the distributions of
// <random>, whose output differs between standard libraries).
class Generator {
public:
    explicit Generator(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint64_t between(std::uint64_t low, std::uint64_t high) {
        return low + next() % (high - low + 1);
    }

private:
    std::uint64_t state_;
};

void writeRandomFile(const fs::path& path, std::uint64_t size, Generator& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<std::uint64_t> block(64 * 1024);
    while (size > 0) {
        for (auto& word : block)
            word = bytes.next();
        const std::uint64_t chunk = std::min<std::uint64_t>(size, block.size() * 8);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(chunk));
        size -= chunk;
    }
    if (!out) {
        std::fprintf(stderr, "make-tree: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string smallFilePath(int index) {
    const int folder = index % (kTopFolders * kFoldersPerTop);
    char name[64];
    std::snprintf(name, sizeof name, "d%02d/s%02d/f%05d.dat", folder / kFoldersPerTop,
                  folder % kFoldersPerTop, index);
    return name;
}

void makeSmallFiles(const fs::path& root) {
    Generator sizes(kSeed);
    Generator bytes(kSeed + 1);
    for (int i = 0; i < kSmallFiles; ++i)
        writeRandomFile(root / smallFilePath(i), sizes.between(1 * kKiB, 16 * kKiB), bytes);
}

// Short files need only as many random bytes as they hold.
void makePlanFiles(const fs::path& root) {
    constexpr int kPlanFiles = 200000;
    Generator sizes(kSeed + 6);
    Generator bytes(kSeed + 7);
    std::vector<std::uint64_t> block(2 * kKiB / 8);
    for (int i = 0; i < kPlanFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "d%02d/s%02d/p%06d.dat", i % kTopFolders,
                      i / kTopFolders % kFoldersPerTop, i);
        const fs::path path = root / name;
        if (i < kTopFolders * kFoldersPerTop)
            fs::create_directories(path.parent_path());
        const auto size = sizes.between(0, 2 * kKiB);
        for (std::size_t word = 0; word < (size + 7) / 8; ++word)
            block[word] = bytes.next();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(size));
        if (!out) {
            std::fprintf(stderr, "make-tree: cannot write %s\n", path.c_str());
            std::exit(1);
        }
    }
}

void makeLargeFiles(const fs::path& root) {
    Generator bytes(kSeed + 2);
    for (int i = 0; i < 4; ++i)
        writeRandomFile(root / ("large-" + std::to_string(i) + ".bin"), 256 * kMiB, bytes);
}

void makeMediumFiles(const fs::path& root) {
    Generator sizes(kSeed + 3);
    Generator bytes(kSeed + 4);
    for (int i = 0; i < 200; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "d%02d/m%03d.bin", i % kTopFolders, i);
        writeRandomFile(root / name, sizes.between(1 * kMiB, 4 * kMiB), bytes);
    }
}

// A word of 2-10 lower-case letters, for names of many lengths.
std::string word(Generator& random) {
    std::string text(random.between(2, 10), 'a');
    for (auto& letter : text)
        letter = static_cast<char>('a' + random.next() % 26);
    return text;
}

void fail(const std::string& what) {
    std::perror(("make-tree: " + what).c_str());
    std::exit(1);
}

// Many tiny files in nested folders, like a home folder or a source tree.
// Each folder hangs below the one made just before it or, as often, below
// a random earlier one, so the nesting is random and often deep, but never
// deeper than kMaxDepth; each file goes to a random folder. Plain
// system calls: a million files through streams would take minutes.
void makeManyFiles(const fs::path& root, int files) {
    constexpr int kFilesPerFolder = 50;
    constexpr int kMaxDepth = 18;
    static const char* const kExtensions[] = {".txt", ".c", ".h", ".md", ".json", ".png", ""};
    Generator random(kSeed + 6);
    const int folders = std::max(1, files / kFilesPerFolder);
    std::vector<std::string> paths{root.string()};
    std::vector<int> depths{0};
    fs::create_directories(root);
    for (int i = 1; i < folders; ++i) {
        auto parent = random.next() % 2 ? paths.size() - 1
                                        : static_cast<std::size_t>(random.next() % paths.size());
        while (depths[parent] >= kMaxDepth)
            parent = static_cast<std::size_t>(random.next() % paths.size());
        paths.push_back(paths[parent] + '/' + word(random) + std::to_string(i));
        depths.push_back(depths[parent] + 1);
        if (::mkdir(paths.back().c_str(), 0755) != 0)
            fail(paths.back());
    }
    char content[200];
    for (int i = 0; i < files; ++i) {
        const auto& folder = paths[random.next() % paths.size()];
        const auto path = folder + '/' + word(random) + '-' + std::to_string(i) +
                          kExtensions[random.next() % std::size(kExtensions)];
        const auto size = static_cast<std::size_t>(random.between(0, sizeof content));
        for (std::size_t at = 0; at < size; ++at)
            content[at] = static_cast<char>(random.next());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, content, size) != static_cast<ssize_t>(size) || ::close(fd) != 0)
            fail(path);
    }
}

// Every run changes the same files, with bytes that differ from the last run.
void changeFiles(const fs::path& root, int percent) {
    Generator bytes(static_cast<std::uint64_t>(std::time(nullptr)));
    const int step = 100 / percent;
    for (int i = 0; i < kSmallFiles; i += step) {
        const fs::path path = root / smallFilePath(i);
        writeRandomFile(path, fs::file_size(path), bytes);
    }
}

void addExtras(const fs::path& root, int percent) {
    Generator bytes(kSeed + 5);
    const int count = kSmallFiles * percent / 100;
    for (int i = 0; i < count; ++i)
        writeRandomFile(root / (smallFilePath(i) + ".extra"), 4 * kKiB, bytes);
}

int usage() {
    std::fprintf(stderr, "usage: make-tree t1|t2|t3|p200k DIR | make-tree many DIR FILES |\n"
                         "       make-tree change|extras DIR PERCENT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return usage();
    const std::string kind = argv[1];
    const fs::path root = argv[2];
    const int number = argc > 3 ? std::atoi(argv[3]) : 0; // a percentage, or a file count
    if (kind == "t1" || kind == "t3")
        makeSmallFiles(root);
    if (kind == "t3")
        makeMediumFiles(root);
    if (kind == "t2")
        makeLargeFiles(root);
    if (kind == "p200k")
        makePlanFiles(root);
    if (kind == "many" && number > 0)
        makeManyFiles(root, number);
    else if (kind == "change" && number > 0 && number <= 100)
        changeFiles(root, number);
    else if (kind == "extras" && number > 0 && number <= 100)
        addExtras(root, number);
    else if (kind != "t1" && kind != "t2" && kind != "t3" && kind != "p200k")
        return usage();
    return 0;
}

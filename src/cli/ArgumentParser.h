#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::cli {

// Parses one verb's arguments: flags ("--quiet", "-0"), options with a value
// ("--bwlimit 100" or "--bwlimit=100"), repeatable options and positional
// arguments, in any order; "--" ends the options. Anything else that starts
// with "-" is a usage error (UsageError, exit status 2).
class ArgumentParser {
public:
    void addFlag(const std::string& name, bool& target);
    // Given twice, the last value wins; an empty value ("--name=") counts as
    // given.
    void addOption(const std::string& name, std::optional<std::string>& target);
    // Every value is kept, in the order given.
    void addList(const std::string& name, std::vector<std::string>& target);

    // Returns the positional arguments, which must be exactly as many as
    // `positionalNames` (used in the error message).
    std::vector<std::string> parse(const std::vector<std::string>& args,
                                   std::initializer_list<const char*> positionalNames) const;
    // Returns the positional arguments, however many there are.
    std::vector<std::string> parseAny(const std::vector<std::string>& args) const;
    // Throws UsageError unless `positional` holds one argument per name.
    static void expectPositionals(const std::vector<std::string>& positional,
                                  std::initializer_list<const char*> positionalNames);

private:
    struct Option {
        std::string name;
        bool takesValue;
        std::function<void(const std::string&)> store;
    };

    const Option* find(const std::string& name) const;

    std::vector<Option> options_;
};

} // namespace quillfen::cli

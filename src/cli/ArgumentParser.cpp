#include "cli/ArgumentParser.h"

#include "cli/Commands.h"

namespace quillfen::cli {

void ArgumentParser::addFlag(const std::string& name, bool& target) {
    options_.push_back({name, false, [&target](const std::string&) {
                            target = true;
                        }});
}

void ArgumentParser::addOption(const std::string& name, std::optional<std::string>& target) {
    options_.push_back({name, true, [&target](const std::string& value) {
                            target = value;
                        }});
}

void ArgumentParser::addList(const std::string& name, std::vector<std::string>& target) {
    options_.push_back({name, true, [&target](const std::string& value) {
                            target.push_back(value);
                        }});
}

const ArgumentParser::Option* ArgumentParser::find(const std::string& name) const {
    for (const auto& option : options_) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

std::vector<std::string>
ArgumentParser::parse(const std::vector<std::string>& args,
                      std::initializer_list<const char*> positionalNames) const {
    auto positional = parseAny(args);
    expectPositionals(positional, positionalNames);
    return positional;
}

std::vector<std::string> ArgumentParser::parseAny(const std::vector<std::string>& args) const {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const Option* option = find(arg.substr(0, equals));
        if (option == nullptr)
            throw UsageError{"unknown option '" + arg + "' (try --help)"};
        if (!option->takesValue) {
            if (equals != std::string::npos)
                throw UsageError{"option '" + option->name + "' takes no value"};
            option->store({});
        } else if (equals != std::string::npos) {
            option->store(arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            option->store(args[++i]);
        } else {
            throw UsageError{"option '" + option->name + "' needs a value"};
        }
    }
    return positional;
}

void ArgumentParser::expectPositionals(const std::vector<std::string>& positional,
                                       std::initializer_list<const char*> positionalNames) {
    if (positional.size() < positionalNames.size())
        throw UsageError{std::string("missing ") + positionalNames.begin()[positional.size()] +
                         " (try --help)"};
    if (positional.size() > positionalNames.size())
        throw UsageError{"unexpected argument '" + positional[positionalNames.size()] +
                         "' (try --help)"};
}

} // namespace quillfen::cli

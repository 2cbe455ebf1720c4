#include "cli/PublishArguments.h"

#include "publishing/PublishFormat.h"

#include <charconv>
#include <functional>
#include <map>

namespace {

bool parseJobs(const std::string& value, int& jobs, std::string& error)
{
    int number = 0;
    const char* end = value.data() + value.size();
    auto [stop, failure] = std::from_chars(value.data(), end, number);
    bool digits = !value.empty() && value.size() <= 3 && failure == std::errc() && stop == end;
    if (!digits || number < 1 || number > PublishArguments::maxJobs) {
        error = "--jobs wants a number from 1 to " + std::to_string(PublishArguments::maxJobs) + ", not '"
            + value + "'";
        return false;
    }
    jobs = number;
    return true;
}

using ValueOption = std::function<bool(PublishArguments&, const std::string&, std::string&)>;

const std::map<std::string, ValueOption>& valueOptions()
{
    static const std::map<std::string, ValueOption> options = {
        { "--format",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                out.command = publishCommandForName(value.c_str());
                if (out.command == 0)
                    error = "unknown format '" + value + "'";
                return out.command != 0;
            } },
        { "--jobs",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                return parseJobs(value, out.jobs, error);
            } },
        { "--pdf-a",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                if (value == "1" || value == "2" || value == "3")
                    out.pdfArchivePart = value[0] - '0';
                else
                    error = "--pdf-a wants 1, 2 or 3, not '" + value + "'";
                return error.empty();
            } },
        { "--files-from",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                if (!out.filesFrom.empty())
                    error = "--files-from may be given once";
                else if (value.empty())
                    error = "--files-from needs a file name";
                out.filesFrom = value;
                return error.empty();
            } },
        { "--shard",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                out.shard = DocumentShard::parse(value, error);
                return out.shard.has_value();
            } },
        { "--report",
            [](PublishArguments& out, const std::string& value, std::string& error) {
                if (value.empty())
                    error = "--report needs a file name";
                out.reportPath = value;
                return error.empty();
            } },
    };
    return options;
}

// "--name value" and "--name=value" alike; false when argument is no option with a value.
bool takeValueOption(const std::vector<std::string>& arguments, size_t& i, PublishArguments& out,
    std::string& error, bool& isValueOption)
{
    const std::string& argument = arguments[i];
    const size_t equals = argument.find('=');
    auto option = valueOptions().find(argument.substr(0, equals));
    isValueOption = option != valueOptions().end();
    if (!isValueOption)
        return false;
    std::string value;
    if (equals != std::string::npos) {
        value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
    } else {
        error = option->first + " needs a value";
        return false;
    }
    return option->second(out, value, error);
}

bool checkTogether(const PublishArguments& out, std::string& error)
{
    if (out.command == 0)
        error = "--format is missing";
    else if (out.pdfArchivePart && out.command != publishCommandForName("pdf"))
        error = "--pdf-a goes with --format pdf";
    else if (out.nulSeparated && out.filesFrom.empty())
        error = "-0 goes with --files-from";
    else if (out.paths.empty() && out.filesFrom.empty())
        error = "no document given";
    return error.empty();
}

}

bool PublishArguments::parse(
    const std::vector<std::string>& arguments, PublishArguments& out, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool isValueOption = false;
        if (takeValueOption(arguments, i, out, error, isValueOption))
            continue;
        if (isValueOption)
            return false;
        if (argument == "-0" || argument == "--null") {
            out.nulSeparated = true;
        } else if (argument == "--") {
            out.paths.insert(out.paths.end(), arguments.begin() + static_cast<long>(i) + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else {
            out.paths.push_back(argument);
        }
    }
    return checkTogether(out, error);
}

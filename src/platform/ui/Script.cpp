#include "platform/ui/Script.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace ui {

namespace {

struct StepOption {
    std::string_view option;
    ScriptStep::Kind kind;
    enum Form { NameOnly, NameAndValue, ValueOnly, Bare } form;
    std::string_view usage;
};

constexpr std::array<StepOption, 10> kStepOptions{{
    {"--set", ScriptStep::Set, StepOption::NameAndValue, "--set NAME=TEXT"},
    {"--tick", ScriptStep::Tick, StepOption::NameOnly, "--tick NAME"},
    {"--untick", ScriptStep::Untick, StepOption::NameOnly, "--untick NAME"},
    {"--choose", ScriptStep::Choose, StepOption::NameAndValue, "--choose NAME=INDEX or NAME=@TEXT"},
    {"--press", ScriptStep::Press, StepOption::NameOnly, "--press NAME"},
    {"--mark", ScriptStep::Mark, StepOption::NameAndValue, "--mark NAME=TEXT"},
    {"--print", ScriptStep::Print, StepOption::NameOnly, "--print NAME"},
    {"--answer", ScriptStep::Answer, StepOption::ValueOnly, "--answer OK|Cancel|Yes|No"},
    {"--file", ScriptStep::File, StepOption::ValueOnly, "--file PATH"},
    {"--cancel", ScriptStep::Cancel, StepOption::Bare, "--cancel"},
}};

const StepOption* findStepOption(const std::string& argument)
{
    auto it = std::find_if(kStepOptions.begin(), kStepOptions.end(),
                           [&](const StepOption& o) { return o.option == argument; });
    return it == kStepOptions.end() ? nullptr : &*it;
}

[[noreturn]] void refuse(const StepOption& option, const std::string& why)
{
    throw ScriptError(std::string(option.option) + " " + why + ": write " + std::string(option.usage));
}

bool isIndex(const std::string& text)
{
    return !text.empty() && text.size() <= 9
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The button word as message boxes know it, whatever its case; empty when
// the word names no button.
std::string buttonWord(const std::string& word)
{
    static const std::array<std::string, 4> words{"OK", "Cancel", "Yes", "No"};
    for (const std::string& known : words) {
        bool same = known.size() == word.size()
            && std::equal(known.begin(), known.end(), word.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
        if (same) {
            return known;
        }
    }
    return {};
}

void splitNameAndValue(const StepOption& option, const std::string& argument, ScriptStep& step)
{
    std::size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0) {
        refuse(option, "got '" + argument + "'");
    }
    step.control = argument.substr(0, equals);
    step.value = argument.substr(equals + 1);
    if (step.kind == ScriptStep::Choose && !isIndex(step.value)
        && (step.value.empty() || step.value.front() != '@')) {
        refuse(option, "got '" + argument + "', whose index is no number");
    }
}

void fillValue(const StepOption& option, const std::string& argument, ScriptStep& step)
{
    switch (option.form) {
    case StepOption::NameOnly:
        step.control = argument;
        break;
    case StepOption::NameAndValue:
        splitNameAndValue(option, argument, step);
        break;
    case StepOption::ValueOnly:
        step.value = argument;
        if (step.kind == ScriptStep::Answer) {
            step.value = buttonWord(argument);
            if (step.value.empty()) {
                refuse(option, "got '" + argument + "'");
            }
        }
        break;
    case StepOption::Bare:
        break;
    }
}

} // namespace

std::string DescribeStep(const ScriptStep& step)
{
    return "step " + std::to_string(step.number) + " (" + step.text + ")";
}

Script& Script::Instance()
{
    static Script script;
    return script;
}

void Script::Add(ScriptStep step)
{
    ++added_;
    if (step.number == 0) {
        step.number = added_;
    }
    steps_.push_back(std::move(step));
}

ScriptStep Script::Take()
{
    ScriptStep step = std::move(steps_.front());
    steps_.pop_front();
    return step;
}

void Script::Fail(std::exception_ptr error)
{
    if (!failure_) {
        failure_ = std::move(error);
    }
}

std::exception_ptr Script::TakeFailure()
{
    std::exception_ptr failure = std::move(failure_);
    failure_ = nullptr;
    return failure;
}

void Script::CheckAllUsed() const
{
    if (!Empty()) {
        throw ScriptError(DescribeStep(Peek()) + ": no window, message box or file dialog is open");
    }
}

void Script::Clear()
{
    steps_.clear();
    added_ = 0;
    failure_ = nullptr;
}

std::optional<ScriptStep> ParseScriptArgument(const std::vector<std::string>& args, std::size_t& i)
{
    if (i >= args.size()) {
        return std::nullopt;
    }
    const StepOption* option = findStepOption(args[i]);
    if (option == nullptr) {
        return std::nullopt;
    }
    ScriptStep step;
    step.kind = option->kind;
    step.text = args[i];
    if (option->form != StepOption::Bare) {
        // A value never starts with "--": that is the next option.
        if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
            refuse(*option, "needs a value");
        }
        const std::string& argument = args[i + 1];
        fillValue(*option, argument, step);
        step.text += " " + argument;
        ++i;
    }
    ++i;
    return step;
}

} // namespace ui
